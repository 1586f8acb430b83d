#pragma once
// The statement shapes SimpleSql answers, as SqlShape patterns: "$" is one quoted literal,
// "@" one word (the company database).

#include <array>
#include <string_view>

namespace orvane {

inline constexpr std::string_view programNameShape = "SELECT MB002 FROM ADMMB AS ADMMB WHERE MB001 = $";
inline constexpr std::string_view programRightsShape =
    "SELECT MF005 , MG006 FROM @ . . ADMMF LEFT JOIN @ . . ADMMG on MG001 = MF001 and MG002 = $ WHERE MF001 = $";
inline constexpr std::string_view attachmentKeysShape =
    "SELECT DISTINCT KeyValues FROM ATTACH WHERE Parent = $ AND CompanyID = $";

inline constexpr std::array simpleSqlShapes{programNameShape, programRightsShape, attachmentKeysShape};

} // namespace orvane
