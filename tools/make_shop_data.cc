// make-shop-data: writes a car-service shop's two database files, Addr.mdb
// and Customerdata.car, for demos, tests and benchmarks; or prints the row
// counts of such a pair, or the tables an upgrade moves (so that the
// scripts need no list of their own).

#include <charconv>
#include <cstdio>
#include <exception>
#include <string>
#include <string_view>

#include "shop/shop_files.h"
#include "shop/shop_schema.h"

namespace {

constexpr char kUsage[] =
    "usage: make-shop-data --out DIR --variant old|new [--rows N] [--table T=N]... [--seed S] [--package-rows M]\n"
    "                      [--force]\n"
    "       make-shop-data --print-counts DIR\n"
    "       make-shop-data --print-moved-tables\n"
    "\n"
    "  --out DIR          write DIR/Addr.mdb (plain SQLite) and DIR/Customerdata.car (SQLCipher)\n"
    "  --variant old|new  the installed release's tables (5.06.0004) or the package's (5.06.0005,\n"
    "                     whose CarOwner has the field WeChat TEXT DEFAULT '')\n"
    "  --rows N           the shop's own records, spread over the tables as a real shop's (default 0)\n"
    "  --table T=N        table T holds N of the shop's records instead of its share of --rows\n"
    "  --seed S           the same seed gives the same rows (default 1)\n"
    "  --package-rows M   rows in every table as a release ships them, numbered first (default 0)\n"
    "  --force            replace files that exist\n"
    "  --print-counts DIR print \"table rows\" for every table of both files of DIR\n"
    "  --print-moved-tables\n"
    "                     print \"file table\" for every table the upgrade moves, in its order\n"
    "                     (a table it moves twice is printed twice)\n";

struct Args {
  brevak::shop::ShopOptions options;
  std::string print_counts;
  bool print_moved_tables = false;
  bool have_out = false, have_variant = false;
};

template <typename T>
bool ParseNumber(std::string_view text, T* out) {
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size();
}

// "T=N": N rows for table T (checked against the schema when the files
// are made).
bool ParseTableRows(std::string_view text, brevak::shop::TableSizes* out) {
  const size_t equals = text.rfind('=');
  int64_t rows = 0;
  if (equals == std::string_view::npos || equals == 0 || !ParseNumber(text.substr(equals + 1), &rows)) {
    return false;
  }
  (*out)[std::string(text.substr(0, equals))] = rows;
  return true;
}

// One option with its value at argv[i + 1]; false when it does not parse.
bool TakeOption(std::string_view name, std::string_view value, Args* args) {
  if (name == "--out") {
    args->options.out_dir = std::string(value);
    args->have_out = true;
    return true;
  }
  if (name == "--print-counts") {
    args->print_counts = std::string(value);
    return !args->print_counts.empty();
  }
  if (name == "--rows") return ParseNumber(value, &args->options.rows);
  if (name == "--table") return ParseTableRows(value, &args->options.table_rows);
  if (name == "--seed") return ParseNumber(value, &args->options.seed);
  if (name == "--package-rows") return ParseNumber(value, &args->options.package_rows);
  if (name == "--variant") {
    const auto variant = brevak::shop::ParseVariant(value);
    if (variant) args->options.variant = *variant;
    args->have_variant = variant.has_value();
    return args->have_variant;
  }
  return false;
}

bool ParseArgs(int argc, char** argv, Args* args) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--force") {
      args->options.force = true;
    } else if (arg == "--print-moved-tables") {
      args->print_moved_tables = true;
    } else if (i + 1 >= argc || !TakeOption(arg, argv[i + 1], args)) {
      std::fprintf(stderr, "make-shop-data: bad option or value: %s\n", argv[i]);
      return false;
    } else {
      ++i;
    }
  }
  return args->print_moved_tables || !args->print_counts.empty() || (args->have_out && args->have_variant);
}

void PrintCounts(const std::filesystem::path& dir) {
  for (const char* name : {brevak::shop::kAddressBookFile, brevak::shop::kCustomerFile}) {
    const std::filesystem::path file = dir / name;
    std::printf("# %s\n", name);
    for (const auto& count : brevak::shop::CountRows(file, brevak::shop::KeyFor(file))) {
      std::printf("%s %lld\n", count.table.c_str(), static_cast<long long>(count.rows));
    }
  }
}

// The address book's migrated tables as the schema orders them, then the
// customer database's migration list.
void PrintMovedTables() {
  for (const auto& table : brevak::shop::ShopTables(brevak::shop::Variant::kNew)) {
    if (table.store == brevak::shop::Store::kAddressBook && table.migrated) {
      std::printf("%s %s\n", brevak::shop::kAddressBookFile, table.name);
    }
  }
  for (const std::string& table : brevak::shop::CustomerMigrationList()) {
    std::printf("%s %s\n", brevak::shop::kCustomerFile, table.c_str());
  }
}

}  // namespace

int main(int argc, char** argv) {
  Args args;
  if (!ParseArgs(argc, argv, &args)) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  try {
    if (args.print_moved_tables) {
      PrintMovedTables();
    } else if (!args.print_counts.empty()) {
      PrintCounts(args.print_counts);
    } else {
      brevak::shop::MakeShopFiles(args.options);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make-shop-data: %s\n", e.what());
    return 1;
  }
  return 0;
}
