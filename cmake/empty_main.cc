// Stands in until the program has its entry point.
int main() { return 1; }
