#include "support/lang/locale_ids.h"

#include <cstdlib>
#include <string>

namespace trawler::lang {
namespace {

struct LocaleId {
  std::string_view name;  // language_TERRITORY; the first row of a language is its main locale
  int id;
};

constexpr LocaleId kLocaleIds[] = {
    {"en_US", 1033}, {"en_GB", 2057}, {"en_AU", 3081}, {"en_CA", 4105}, {"en_NZ", 5129},
    {"en_IE", 6153}, {"en_ZA", 7177}, {"en_IN", 16393},
    {"ru_RU", 1049}, {"ru_MD", 2073}, {"uk_UA", 1058}, {"be_BY", 1059},
    {"bg_BG", 1026}, {"sr_RS", 10266}, {"mk_MK", 1071}, {"kk_KZ", 1087},
    {"de_DE", 1031}, {"de_CH", 2055}, {"de_AT", 3079}, {"de_LU", 4103}, {"de_LI", 5127},
    {"fr_FR", 1036}, {"fr_BE", 2060}, {"fr_CA", 3084}, {"fr_CH", 4108}, {"fr_LU", 5132},
    {"it_IT", 1040}, {"it_CH", 2064},
    {"es_ES", 3082}, {"es_MX", 2058}, {"es_AR", 11274},
    {"pt_PT", 2070}, {"pt_BR", 1046},
    {"nl_NL", 1043}, {"nl_BE", 2067},
    {"pl_PL", 1045}, {"cs_CZ", 1029}, {"sk_SK", 1051}, {"hu_HU", 1038}, {"ro_RO", 1048},
    {"hr_HR", 1050}, {"sl_SI", 1060}, {"sq_AL", 1052},
    {"lt_LT", 1063}, {"lv_LV", 1062}, {"et_EE", 1061},
    {"fi_FI", 1035}, {"sv_SE", 1053}, {"sv_FI", 2077}, {"da_DK", 1030}, {"nb_NO", 1044},
    {"nn_NO", 2068}, {"is_IS", 1039},
    {"el_GR", 1032}, {"tr_TR", 1055}, {"he_IL", 1037}, {"ar_SA", 1025}, {"ar_EG", 3073},
    {"fa_IR", 1065},
    {"hy_AM", 1067}, {"ka_GE", 1079}, {"az_AZ", 1068}, {"uz_UZ", 1091},
    {"ja_JP", 1041}, {"ko_KR", 1042}, {"zh_CN", 2052}, {"zh_TW", 1028}, {"zh_HK", 3076},
    {"zh_SG", 4100},
    {"th_TH", 1054}, {"vi_VN", 1066}, {"id_ID", 1057}, {"ms_MY", 1086}, {"hi_IN", 1081},
    {"ca_ES", 1027}, {"eu_ES", 1069}, {"gl_ES", 1110},
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

int LocaleIdFromName(std::string_view name) {
  // Drop the code set and modifier: "ru_RU.UTF-8@euro" -> "ru_RU".
  name = name.substr(0, name.find_first_of(".@"));
  std::size_t underscore = name.find('_');
  std::string language, territory;
  for (char c : name.substr(0, underscore)) language += Lower(c);
  if (underscore != std::string_view::npos)
    for (char c : name.substr(underscore + 1)) territory += Upper(c);
  if (language.empty()) return 0;

  if (!territory.empty()) {
    std::string full = language + "_" + territory;
    for (const LocaleId &row : kLocaleIds)
      if (row.name == full) return row.id;
  }
  for (const LocaleId &row : kLocaleIds)
    if (row.name.substr(0, row.name.find('_')) == language) return row.id;
  return 0;
}

int SystemLocaleId(const std::function<const char *(const char *)> &getenv) {
  for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char *value = getenv ? getenv(variable) : std::getenv(variable);
    if (value != nullptr && *value != '\0') return LocaleIdFromName(value);
  }
  return 0;
}

}  // namespace trawler::lang
