#include "shop/shop_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "shop/shop_picture.h"

namespace brevak::shop {
namespace {

constexpr uint64_t kIdentityTag = 0x1D3A7117;
constexpr uint64_t kStaffTag = 0x57AFF;
constexpr size_t kStaffCount = 8;
constexpr char kPlateLetters[] = "ABCDEFGHJKLMNPQRSTUVWXYZ";
constexpr char kVinChars[] = "0123456789ABCDEFGHJKLMNPRSTUVWXYZ";

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
int64_t DayOf(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

const int64_t kFirstDay = DayOf(2016, 1, 1);
const int64_t kLastDay = DayOf(2024, 12, 31);

double Round2(double value) { return std::round(value * 100) / 100; }

void AppendDigits(Rng& rng, int count, std::string* out) {
  for (int i = 0; i < count; ++i) out->push_back(static_cast<char>('0' + rng.Below(10)));
}

void AppendFrom(Rng& rng, std::string_view chars, int count, std::string* out) {
  for (int i = 0; i < count; ++i) out->push_back(chars[rng.Below(chars.size())]);
}

// "深圳市" -> "深圳": every city name ends in the three bytes of 市.
std::string_view ShortCity(const City& city) {
  std::string_view name = city.name;
  return name.substr(0, name.size() - 3);
}

void AppendPersonName(Rng& rng, bool male, std::string* out) {
  const Pool& given = male ? kMaleNames : kFemaleNames;
  out->append(kSurnames[rng.Below(kSurnames.size)]).append(given[rng.Below(given.size)]);
}

std::string PersonName(Rng& rng) {
  std::string name;
  AppendPersonName(rng, rng.Percent(60), &name);
  return name;
}

void ReplaceAll(std::string* text, std::string_view from, std::string_view to) {
  for (size_t at = text->find(from); at != std::string::npos; at = text->find(from, at + to.size())) {
    text->replace(at, from.size(), to);
  }
}

bool IsCustomerList(std::string_view table) {
  return table == "CarOwner" || table == "Repair_Customer" || table == "People";
}

// Fixes the tables that reach max_rows at their cap; false when none did.
bool CapRound(const std::vector<const TableDef*>& open, const std::vector<int64_t>& share, TableSizes& sizes,
              int64_t& left, std::vector<const TableDef*>& still_open) {
  bool capped = false;
  for (size_t i = 0; i < open.size(); ++i) {
    const int64_t room = open[i]->max_rows - sizes[open[i]->name];
    if (open[i]->max_rows > 0 && share[i] >= room) {
      sizes[open[i]->name] += room;
      left -= room;
      capped = true;
    } else {
      still_open.push_back(open[i]);
    }
  }
  return capped;
}

// Largest-remainder shares of `left` rows by weight.
std::vector<int64_t> Shares(const std::vector<const TableDef*>& open, int64_t left) {
  int64_t weights = 0;
  for (const TableDef* table : open) weights += table->weight;
  std::vector<int64_t> share(open.size());
  std::vector<std::pair<int64_t, size_t>> remainders;
  int64_t given = 0;
  for (size_t i = 0; i < open.size(); ++i) {
    share[i] = left * open[i]->weight / weights;
    given += share[i];
    remainders.push_back({-(left * open[i]->weight % weights), i});
  }
  std::sort(remainders.begin(), remainders.end());
  for (int64_t k = 0; k < left - given; ++k) ++share[remainders[static_cast<size_t>(k)].second];
  return share;
}

}  // namespace

void AppendDate(int64_t day, std::string* out) {
  const int64_t z = day + 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(y % 10000), static_cast<int>(m),
                static_cast<int>(d));
  out->append(text);
}

TableSizes SpreadRows(const std::vector<TableDef>& tables, int64_t total) {
  TableSizes sizes;
  std::vector<const TableDef*> open;
  for (const TableDef& table : tables) {
    sizes[table.name] = 0;
    if (table.weight > 0) open.push_back(&table);
  }
  int64_t left = total;
  while (left > 0 && !open.empty()) {
    const std::vector<int64_t> share = Shares(open, left);
    std::vector<const TableDef*> still_open;
    if (CapRound(open, share, sizes, left, still_open)) {
      open = std::move(still_open);
      continue;
    }
    for (size_t i = 0; i < open.size(); ++i) sizes[open[i]->name] += share[i];
    left = 0;
  }
  if (left > 0 && !tables.empty()) sizes[tables.back().name] += left;  // every table at its cap
  return sizes;
}

RowGenerator::RowGenerator(const TableDef& table, uint64_t shop_seed, int64_t first_id, int64_t count,
                           const TableSizes& sizes)
    : table_(table),
      shop_seed_(shop_seed),
      first_id_(first_id),
      count_(count),
      rng_(Mix(shop_seed, HashName(table.name) ^ static_cast<uint64_t>(first_id))) {
  auto size_of = [&sizes](std::string_view name) {
    auto it = sizes.find(name);
    return it == sizes.end() ? int64_t{0} : it->second;
  };
  customers_ = size_of("CarOwner");
  for (const Field& field : table.fields) {
    if (field.gen == Gen::kDefault) continue;
    fields_.push_back(&field);
    ref_sizes_.push_back(field.gen == Gen::kRef ? size_of(field.ref) : 0);
    cycles_cars_ |= field.gen == Gen::kCarModelName;
    uses_identity_ |= field.gen >= Gen::kName && field.gen <= Gen::kCarModelName;
    uses_identity_ |= field.gen == Gen::kBuyDate || field.gen == Gen::kSms || field.gen == Gen::kCardNo;
  }
  buffers_.resize(fields_.size());
  values_.resize(fields_.size());
  Rng staff_rng(Mix(shop_seed, kStaffTag));
  for (size_t i = 0; i < kStaffCount; ++i) staff_.push_back(PersonName(staff_rng));
  Rng shop_rng(Mix(shop_seed, kStaffTag + 1));
  shop_city_ = shop_rng.Below(kCities.size);
  shop_name_ = std::string(ShortCity(kCities[shop_city_])) + kCompanyWords[shop_rng.Below(kCompanyWords.size)] +
               "汽车维修服务中心";
}

bool RowGenerator::Next() {
  if (made_ >= count_) return false;
  StartRow();
  for (size_t i = 0; i < fields_.size(); ++i) Fill(i);
  ++made_;
  return true;
}

void RowGenerator::StartRow() {
  id_ = first_id_ + made_;
  const int64_t span = kLastDay - kFirstDay;
  day_ = kFirstDay + (count_ > 1 ? made_ * span / (count_ - 1) : 0) + rng_.Between(-2, 2);
  day_ = std::clamp(day_, kFirstDay, kLastDay);
  if (IsCustomerList(table_.name)) {
    customer_ = id_;
  } else {
    customer_ = customers_ > 0 ? rng_.Between(1, customers_) : rng_.Between(1, 99999);
  }
  part_ = rng_.Below(kParts.size);
  work_ = rng_.Below(kWorks.size);
  case_ = rng_.Below(kCases.size);
  qty_ = 1;
  price_ = part_total_ = work_total_ = 0;
  rate_ = 1;
  if (uses_identity_) MakeIdentity(customer_);
  if (cycles_cars_) {
    const size_t combo = static_cast<size_t>(id_ - 1);
    who_.brand = combo % kBrands.size;
    who_.model = combo / kBrands.size % 4;
  }
}

void RowGenerator::MakeIdentity(int64_t customer) {
  Rng rng(Mix(shop_seed_ ^ kIdentityTag, static_cast<uint64_t>(customer)));
  const City& city = kCities[rng.Percent(85) ? shop_city_ : rng.Below(kCities.size)];
  MakePerson(rng, city);
  MakeCar(rng, city);
}

void RowGenerator::MakePerson(Rng& rng, const City& city) {
  Identity& w = who_;
  w.male = rng.Percent(62);
  w.name.clear();
  AppendPersonName(rng, w.male, &w.name);
  w.mobile.assign(kMobilePrefixes[rng.Below(kMobilePrefixes.size)]);
  AppendDigits(rng, 8, &w.mobile);
  w.phone.assign(city.area_code).append("-").push_back(static_cast<char>('2' + rng.Below(7)));
  AppendDigits(rng, 7, &w.phone);
  w.address.assign(city.province).append(city.name).append(city.districts[rng.Below(4)]);
  w.address.append(kRoads[rng.Below(kRoads.size)]).append(std::to_string(rng.Between(1, 888))).append("号");
  w.company.clear();
  if (rng.Percent(35)) {
    w.company.assign(ShortCity(city)).append(kCompanyWords[rng.Below(kCompanyWords.size)]);
    w.company.append(kCompanyTrades[rng.Below(kCompanyTrades.size)]).append("有限公司");
  }
  w.qq.clear();
  if (rng.Percent(50)) {
    w.qq.push_back(static_cast<char>('1' + rng.Below(9)));
    AppendDigits(rng, static_cast<int>(rng.Between(5, 9)), &w.qq);
  }
  w.wechat.clear();
  if (rng.Percent(30)) {
    AppendFrom(rng, "abcdefghijklmnopqrstuvwxyz0123456789", 10, &w.wechat.assign("wxid_"));
  } else if (rng.Percent(45)) {
    w.wechat = w.mobile;
  }
}

// A car registered where its owner lives: 粤B + five characters.
void RowGenerator::MakeCar(Rng& rng, const City& city) {
  Identity& w = who_;
  w.plate.assign(city.plate);
  AppendFrom(rng, rng.Percent(30) ? kPlateLetters : "0123456789", 1, &w.plate);
  AppendDigits(rng, 4, &w.plate);
  w.brand = rng.Below(kBrands.size);
  w.model = rng.Below(4);
  w.color = rng.Below(kColors.size);
  w.vin.assign(kBrands[w.brand].vin_prefix);
  AppendFrom(rng, kVinChars, 14, &w.vin);
  w.engine.clear();
  AppendFrom(rng, kPlateLetters, 2, &w.engine);
  AppendDigits(rng, 7, &w.engine);
  w.buy_day = rng.Between(DayOf(2006, 1, 1), DayOf(2016, 6, 30));
}

void RowGenerator::SetText(Value& value, std::string_view text) {
  value.type = Value::Type::kText;
  value.bytes = text;
}
void RowGenerator::SetReal(Value& value, double real) {
  value.type = Value::Type::kReal;
  value.real = real;
}
void RowGenerator::SetInt(Value& value, int64_t integer) {
  value.type = Value::Type::kInteger;
  value.integer = integer;
}

void RowGenerator::Fill(size_t i) {
  const Field& field = *fields_[i];
  Value& value = values_[i];
  std::string& buffer = buffers_[i];
  switch (field.gen) {
    case Gen::kId: return SetInt(value, id_);
    case Gen::kRef: return SetInt(value, ref_sizes_[i] > 0 ? rng_.Between(1, ref_sizes_[i]) : 0);
    case Gen::kCustomerNo: return SetInt(value, customer_);
    case Gen::kPick: return SetText(value, (*field.pool)[rng_.Below(field.pool->size)]);
    case Gen::kCycle: return SetText(value, (*field.pool)[static_cast<size_t>(id_ - 1)]);
    case Gen::kNote: return SetText(value, rng_.Percent(field.lo) ? (*field.pool)[rng_.Below(field.pool->size)] : "");
    case Gen::kText: return SetText(value, field.ref);
    case Gen::kInt: return SetInt(value, rng_.Between(field.lo, field.hi));
    case Gen::kMoney: return SetReal(value, rng_.Between(field.lo * 100, field.hi * 100) / 100.0);
    default: break;
  }
  if (FillPeople(field, value) || FillCar(field, value) || FillRepair(field, value)) return;
  if (FillDates(field, buffer, value)) return;
  if (!FillOffice(field, buffer, value)) value.type = Value::Type::kNull;
}

bool RowGenerator::FillPeople(const Field& field, Value& value) {
  switch (field.gen) {
    case Gen::kName: SetText(value, who_.name); return true;
    case Gen::kSex: SetText(value, who_.male ? "男" : "女"); return true;
    case Gen::kMobile: SetText(value, who_.mobile); return true;
    case Gen::kPhone: SetText(value, who_.phone); return true;
    case Gen::kAddress: SetText(value, who_.address); return true;
    case Gen::kCompany: SetText(value, who_.company); return true;
    case Gen::kQQ: SetText(value, who_.qq); return true;
    case Gen::kWeChat: SetText(value, who_.wechat); return true;
    case Gen::kStaff: SetText(value, staff_[rng_.Below(staff_.size())]); return true;
    case Gen::kShopName: SetText(value, shop_name_); return true;
    default: return false;
  }
}

bool RowGenerator::FillCar(const Field& field, Value& value) {
  const Brand& brand = kBrands[who_.brand];
  switch (field.gen) {
    case Gen::kPlate: SetText(value, who_.plate); return true;
    case Gen::kBrand: SetText(value, brand.name); return true;
    case Gen::kModel: SetText(value, brand.models[who_.model]); return true;
    case Gen::kMaker: SetText(value, brand.maker); return true;
    case Gen::kColor: SetText(value, kColors[who_.color]); return true;
    case Gen::kVin: SetText(value, who_.vin); return true;
    case Gen::kEngineNo: SetText(value, who_.engine); return true;
    case Gen::kMileage:
      SetInt(value, day_ > who_.buy_day ? (day_ - who_.buy_day) * rng_.Between(25, 60) : rng_.Between(100, 5000));
      return true;
    default: return false;
  }
}

bool RowGenerator::FillRepair(const Field& field, Value& value) {
  const char* text = nullptr;
  switch (field.gen) {
    case Gen::kPartName: text = kParts[part_].name; break;
    case Gen::kPartSpec: text = kParts[part_].spec; break;
    case Gen::kPartUnit: text = kParts[part_].unit; break;
    case Gen::kWorkName: text = kWorks[work_].name; break;
    case Gen::kCaseFault: text = kCases[case_].fault; break;
    case Gen::kCaseCause: text = kCases[case_].cause; break;
    case Gen::kCaseSolution: text = kCases[case_].solution; break;
    default: return FillAmounts(field, value);
  }
  SetText(value, text);
  return true;
}

// Prices, quantities and totals; an amount is the row's quantity x price,
// a sheet's total its parts and work at its discount rate.
bool RowGenerator::FillAmounts(const Field& field, Value& value) {
  const auto money = [&] { return rng_.Between(field.lo * 100, field.hi * 100) / 100.0; };
  double real = 0;
  switch (field.gen) {
    case Gen::kPartPrice: real = price_ = std::round(kParts[part_].price * rng_.Between(90, 120) / 100); break;
    case Gen::kWorkHours: real = kWorks[work_].hours; break;
    case Gen::kWorkPrice: real = price_ = kWorks[work_].price; break;
    case Gen::kQty: real = qty_ = static_cast<double>(rng_.Between(field.lo, field.hi)); break;
    case Gen::kAmount: real = Round2(qty_ * price_); break;
    case Gen::kRate: real = rate_ = rng_.Between(field.lo, field.hi) / 100.0; break;
    case Gen::kPartTotal: real = part_total_ = money(); break;
    case Gen::kWorkTotal: real = work_total_ = money(); break;
    case Gen::kSheetTotal: real = Round2((part_total_ + work_total_) * rate_); break;
    default: return false;
  }
  SetReal(value, real);
  return true;
}

bool RowGenerator::FillDates(const Field& field, std::string& buffer, Value& value) {
  buffer.clear();
  switch (field.gen) {
    case Gen::kDate: AppendDate(day_, &buffer); break;
    case Gen::kDateTime: {
      char time[16];
      std::snprintf(time, sizeof time, " %02d:%02d:%02d", static_cast<int>(rng_.Between(8, 19)),
                    static_cast<int>(rng_.Between(0, 59)), static_cast<int>(rng_.Between(0, 59)));
      AppendDate(day_, &buffer);
      buffer.append(time);
      break;
    }
    case Gen::kLaterDate:
      AppendDate(day_ + (field.hi > 0 ? rng_.Between(field.lo, field.hi) : rng_.Between(30, 365)), &buffer);
      break;
    case Gen::kBirthday: AppendDate(rng_.Between(DayOf(1960, 1, 1), DayOf(2000, 12, 31)), &buffer); break;
    case Gen::kBuyDate: AppendDate(who_.buy_day, &buffer); break;
    default: return false;
  }
  SetText(value, buffer);
  return true;
}

// Numbers and codes, built in the field's buffer; false for other kinds.
bool RowGenerator::FillCodes(const Field& field, std::string& buffer) {
  switch (field.gen) {
    case Gen::kCode:
      buffer.append(field.ref);
      AppendDate(day_, &buffer);
      std::erase(buffer, '-');
      buffer.append("-").append(std::to_string(10000 + id_ % 10000).substr(1));
      return true;
    case Gen::kDigits: buffer.append(field.ref); AppendDigits(rng_, field.lo, &buffer); return true;
    case Gen::kCardNo: {
      // Whether a customer holds a card depends on the customer alone.
      const uint64_t percent = field.lo > 0 ? static_cast<uint64_t>(field.lo) : 100;
      if (Mix(shop_seed_, static_cast<uint64_t>(customer_)) % 100 < percent) {
        buffer.append("VIP").append(std::to_string(1000000 + customer_ % 1000000).substr(1));
      }
      return true;
    }
    case Gen::kPartNo: buffer.append("PJ-0").append(std::to_string(1001 + part_ * 7)); return true;
    case Gen::kPassword: AppendFrom(rng_, "0123456789abcdef", 16, &buffer); return true;
    case Gen::kRights:
      for (int k = 0; k < 24; ++k) buffer.push_back(rng_.Percent(80) ? '1' : '0');
      return true;
    default: return false;
  }
}

bool RowGenerator::FillOffice(const Field& field, std::string& buffer, Value& value) {
  buffer.clear();
  const size_t combos = kBrands.size * 4;
  switch (field.gen) {
    case Gen::kContact: buffer = PersonName(rng_); break;
    case Gen::kCarModelName:
      buffer.append(kBrands[who_.brand].models[who_.model]).append(" ");
      buffer.append(std::to_string(2010 + static_cast<size_t>(id_ - 1) / combos % 15)).append("款 ");
      buffer.append(kTrimLevels[static_cast<size_t>(id_ - 1) / combos / 15]);
      break;
    case Gen::kSupplier:
      buffer.append(ShortCity(kCities[shop_city_])).append(kCompanyWords[rng_.Below(kCompanyWords.size)]);
      buffer.append(kSuppliers[rng_.Below(kSuppliers.size)]);
      break;
    case Gen::kSms:
      buffer.append("【").append(shop_name_).append("】").append(kSmsTemplates[rng_.Below(kSmsTemplates.size)]);
      ReplaceAll(&buffer, "[姓名]", who_.name);
      ReplaceAll(&buffer, "[车牌]", who_.plate);
      break;
    case Gen::kMaybePicture:
    case Gen::kPicture: return FillPicture(field, buffer, value);
    default:
      if (!FillCodes(field, buffer)) return false;
  }
  SetText(value, buffer);
  return true;
}

// A portrait BLOB; a maybe-picture is NULL outside its share of rows.
bool RowGenerator::FillPicture(const Field& field, std::string& buffer, Value& value) {
  if (field.gen == Gen::kMaybePicture && !rng_.Percent(field.lo)) return false;
  MakePortrait(Mix(shop_seed_ ^ HashName(table_.name), static_cast<uint64_t>(id_)), &buffer);
  value.type = Value::Type::kBlob;
  value.bytes = buffer;
  return true;
}

}  // namespace brevak::shop
