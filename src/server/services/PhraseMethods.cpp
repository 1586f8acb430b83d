#include "server/services/PhraseMethods.h"

#include "server/services/ServiceError.h"

#include <string>
#include <vector>

namespace orvane {

namespace {

std::vector<std::string> matchingPhrases(Database& db, const SessionLogin& login, const std::string& field,
                                         const std::string& text)
{
    const std::string sql = "SELECT PHRASE_TEXT FROM " + db.dialect().companyTable(login.companyDb, "PHRASE") +
                            " WHERE (PHRASE_USER = '' OR PHRASE_USER = ?) AND (PHRASE_FIELD = '' OR PHRASE_FIELD = ?)"
                            " ORDER BY PHRASE_FIELD DESC, PHRASE_USER DESC, PHRASE_SEQ";
    std::vector<std::string> phrases;
    for (const auto& row : db.query(sql, {Variant(login.userId), Variant(field)}).rows) {
        std::string phrase = row[0].toString();
        if (phrase.find(text) != std::string::npos)
            phrases.push_back(std::move(phrase));
    }
    return phrases;
}

} // namespace

Variant getPhrase2(Database& db, const SessionLogin& login, std::span<Variant> args)
{
    const std::int64_t number = args[2].toIntegerOrZero();
    if (number < 0)
        throw ServiceError("GetPhrase2: the phrase number " + std::to_string(number) + " is below 0");
    const std::vector<std::string> phrases = matchingPhrases(db, login, args[0].toString(), args[1].toString());
    std::string answer;
    if (number == 0) {
        for (const std::string& phrase : phrases)
            answer += (answer.empty() ? "" : "\r\n") + phrase;
    } else if (static_cast<std::size_t>(number) <= phrases.size()) {
        answer = phrases[static_cast<std::size_t>(number - 1)];
    }
    args[3] = answer;
    return static_cast<std::int64_t>(phrases.size());
}

} // namespace orvane
