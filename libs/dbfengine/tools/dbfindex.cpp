// dbfindex: builds an MTX index file for a DBF table.
//
//   dbfindex [--password PW] TABLE.DBF INDEX.MTX
//            --tag NAME --key EXPR [--for CONDITION] [--unique] [--descending]
//            [--tag ...]
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dbfengine.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: dbfindex [--password PW] TABLE.DBF INDEX.MTX --tag NAME --key EXPR\n"
               "                [--for CONDITION] [--unique] [--descending] [--tag ...]\n");
  return 2;
}

struct TagArgs {
  std::string name, key, condition;
  bool unique = false, descending = false;
};

}  // namespace

int main(int argc, char** argv) {
  std::string password;
  std::vector<std::string> files;
  std::vector<TagArgs> tags;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    if (a == "--password") {
      if (!value(password)) return usage();
    } else if (a == "--tag") {
      tags.emplace_back();
      if (!value(tags.back().name)) return usage();
    } else if (a == "--key" || a == "--for") {
      if (tags.empty() || !value(a == "--key" ? tags.back().key : tags.back().condition))
        return usage();
    } else if (a == "--unique" || a == "--descending") {
      if (tags.empty()) return usage();
      (a == "--unique" ? tags.back().unique : tags.back().descending) = true;
    } else if (a.rfind("--", 0) == 0) {
      return usage();
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2 || tags.empty()) return usage();
  for (const TagArgs& t : tags)
    if (t.key.empty()) return usage();

  dbe_ErrorLevel(1);
  const int16_t area = dbe_UseEx(files[0].c_str(), "", 1, 3, 2);
  if (area < 1) return 1;
  if (!password.empty()) {
    dbe_SetPassword(password.c_str());
    if (dbe_Error() == DBE_E_PASSWORD) return 1;
  }
  std::vector<dbe_tag_def> defs;
  for (const TagArgs& t : tags) {
    defs.push_back({t.name.c_str(), t.key.c_str(), t.condition.c_str(),
                    static_cast<dbe_bool>(t.unique ? -1 : 0),
                    static_cast<dbe_bool>(t.descending ? -1 : 0)});
  }
  const int16_t written =
      dbe_IndexCreate(files[1].c_str(), defs.data(), static_cast<int16_t>(defs.size()));
  dbe_Close();
  if (written <= 0) return 1;
  std::printf("%s: %d tag(s) written\n", files[1].c_str(), written);
  return 0;
}
