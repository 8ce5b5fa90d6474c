#include "postal/ProvinceNames.h"

#include <map>
#include <memory>

#include "platform/Cp949Codec.h"

namespace postal {
namespace {

// Every form of each province: the short form of the six-digit table, the
// city or province form, and the official name (the special self-governing
// provinces since 2023 and 2024 included).
constexpr const char* kProvinces[][4] = {
    {"서울", "서울시", "서울특별시", nullptr},
    {"부산", "부산시", "부산광역시", nullptr},
    {"대구", "대구시", "대구광역시", nullptr},
    {"인천", "인천시", "인천광역시", nullptr},
    {"광주", "광주광역시", nullptr, nullptr},
    {"대전", "대전시", "대전광역시", nullptr},
    {"울산", "울산시", "울산광역시", nullptr},
    {"세종", "세종시", "세종특별자치시", nullptr},
    {"경기", "경기도", nullptr, nullptr},
    {"강원", "강원도", "강원특별자치도", nullptr},
    {"충북", "충청북도", nullptr, nullptr},
    {"충남", "충청남도", nullptr, nullptr},
    {"전북", "전라북도", "전북특별자치도", nullptr},
    {"전남", "전라남도", nullptr, nullptr},
    {"경북", "경상북도", nullptr, nullptr},
    {"경남", "경상남도", nullptr, nullptr},
    {"제주", "제주도", "제주특별자치도", nullptr},
};

// CP949 form -> the other forms of its province.
using FormMap = std::map<std::string, std::vector<std::string>, std::less<>>;

const FormMap& Forms() {
  static const std::unique_ptr<FormMap> forms = [] {
    auto map = std::make_unique<FormMap>();
    for (const auto& province : kProvinces) {
      std::vector<std::string> all;
      for (const char* form : province)
        if (form) all.push_back(platform::Cp949FromUtf8(form));
      for (const std::string& form : all) {
        std::vector<std::string>& others = (*map)[form];
        for (const std::string& other : all)
          if (other != form) others.push_back(other);
      }
    }
    return map;
  }();
  return *forms;
}

}  // namespace

const std::vector<std::string>& OtherProvinceForms(std::string_view word) {
  static const std::vector<std::string> kNone;
  const FormMap& forms = Forms();
  const auto it = forms.find(word);
  return it == forms.end() ? kNone : it->second;
}

std::string OfficialProvinceName(std::string_view word) {
  for (const auto& province : kProvinces) {
    const char* official = nullptr;
    bool named = false;
    for (const char* form : province) {
      if (!form) break;
      official = form;
      named = named || platform::Cp949FromUtf8(form) == word;
    }
    if (named) return platform::Cp949FromUtf8(official);
  }
  return {};
}

}  // namespace postal
