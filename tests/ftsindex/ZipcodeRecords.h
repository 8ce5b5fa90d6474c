#pragma once
// Postal records as the application hands them to the full-text index: the
// raw DBF record (deletion flag ' ', ZIPCODE C(7), DDD C(4), ETC C(width)),
// all CP949, built from the national list data/source/zipcode.csv.
#include <string>
#include <vector>

namespace ftstest {

struct ZipRow {
  std::string zip, sido, gugun, dong, bunji;  // CP949
};

// Reads the list (CP949, one header line, no quoting). Empty on failure.
std::vector<ZipRow> ReadZipcodeCsv(const std::string& path);

// The long-distance dialling code of a row: by province, with the known
// exceptions of the capital region and a few cities.
std::string DiallingCode(const ZipRow& row);

// The full address: province, district, village, lot numbers, one space apart.
std::string FullAddress(const ZipRow& row);

// Raw records (without the terminating zero), ETC padded to the longest address.
std::vector<std::string> MakeRecords(const std::vector<ZipRow>& rows);

// The national list's path in the repository.
std::string ZipcodeCsvPath();

// The first n records of the national list.
std::vector<std::string> FirstNationalRecords(size_t n);

}  // namespace ftstest
