#pragma once
// The phrase service's "GetPhrase2"(field, text, number, phrase&): the common phrases of a
// free-text field, from the company's PHRASE table.
//
//   field    the field the phrase is for ("TC015"); phrases for any field always count
//   text     only phrases containing this text (empty: all)
//   number   0: phrase becomes every matching phrase, one per line (CR LF between them);
//            n >= 1: phrase becomes the n-th matching phrase, empty when there are fewer
//   answer   the number of matching phrases
//
// The phrases are those for everybody and the session's own user (never the user a client
// names): the field's own first, then the user's own, each group in PHRASE_SEQ order. A negative number raises
// ServiceError. Threads: as the connection it runs on.

#include "platform/variant/Variant.h"
#include "server/db/Database.h"
#include "server/services/SessionLogin.h"

#include <span>

namespace orvane {

Variant getPhrase2(Database& db, const SessionLogin& login, std::span<Variant> args);

} // namespace orvane
