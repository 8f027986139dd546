#ifndef BREVAK_TOOLS_SHOP_SHOP_ROWS_H_
#define BREVAK_TOOLS_SHOP_SHOP_ROWS_H_

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "shop/shop_random.h"
#include "shop/shop_schema.h"

namespace brevak::shop {

// Rows per table, by table name.
using TableSizes = std::map<std::string, int64_t, std::less<>>;

// Shares `total` rows among the tables by weight (largest remainders
// first); a table never gets more than its max_rows while an unbounded
// table is left. The shares sum to `total`.
TableSizes SpreadRows(const std::vector<TableDef>& tables, int64_t total);

struct Value {
  enum class Type { kNull, kInteger, kReal, kText, kBlob };
  Type type = Type::kNull;
  int64_t integer = 0;
  double real = 0;
  std::string_view bytes;  // text or blob; valid until the next Next()
};

// Generates rows first_id .. first_id + count - 1 of one table. The values
// depend only on (shop_seed, table name, row number): the same seed gives
// the same rows. A customer's name, plate, mobile and car are a function
// of (shop_seed, customer number), so a repair sheet names the same person
// as CarOwner row of that number. Memory does not grow with `count`.
class RowGenerator {
 public:
  // `sizes` holds the rows each table of the same file will have: row
  // numbers that refer to another table fall in 1..sizes[table].
  RowGenerator(const TableDef& table, uint64_t shop_seed, int64_t first_id, int64_t count,
               const TableSizes& sizes);

  // The fields the generator fills, in order; those that take their DEFAULT
  // are left out.
  const std::vector<const Field*>& fields() const { return fields_; }
  // Makes the next row; false when `count` rows have been made.
  bool Next();
  // The current row: one value per fields() entry.
  const std::vector<Value>& values() const { return values_; }

 private:
  struct Identity {
    std::string name, mobile, phone, address, company, plate, vin, engine, qq, wechat;
    size_t brand = 0, model = 0, color = 0;
    bool male = true;
    int64_t buy_day = 0;
  };
  void StartRow();
  void MakeIdentity(int64_t customer);
  void MakePerson(Rng& rng, const City& city);
  void MakeCar(Rng& rng, const City& city);
  void Fill(size_t i);
  bool FillPeople(const Field& field, Value& value);
  bool FillCar(const Field& field, Value& value);
  bool FillDates(const Field& field, std::string& buffer, Value& value);
  bool FillRepair(const Field& field, Value& value);
  bool FillAmounts(const Field& field, Value& value);
  bool FillOffice(const Field& field, std::string& buffer, Value& value);
  bool FillCodes(const Field& field, std::string& buffer);
  bool FillPicture(const Field& field, std::string& buffer, Value& value);
  void SetText(Value& value, std::string_view text);
  void SetReal(Value& value, double real);
  void SetInt(Value& value, int64_t integer);

  const TableDef& table_;
  uint64_t shop_seed_;
  int64_t first_id_, count_, made_ = 0;
  int64_t customers_;
  Rng rng_;
  std::vector<const Field*> fields_;
  std::vector<int64_t> ref_sizes_;
  std::vector<std::string> buffers_;
  std::vector<Value> values_;
  std::vector<std::string> staff_;
  std::string shop_name_;
  size_t shop_city_;
  bool uses_identity_ = false, cycles_cars_ = false;
  // The current row.
  int64_t id_ = 0, customer_ = 0, day_ = 0;
  size_t part_ = 0, work_ = 0, case_ = 0;
  double qty_ = 1, price_ = 0, part_total_ = 0, work_total_ = 0, rate_ = 1;
  Identity who_;
};

// Appends "YYYY-MM-DD" of a day counted from 1970-01-01.
void AppendDate(int64_t day, std::string* out);

}  // namespace brevak::shop

#endif  // BREVAK_TOOLS_SHOP_SHOP_ROWS_H_
