// The server's own tables: the system database (companies, users, messages) and, in
// each company database, the parameters, the program parameters, the document
// numbering state, the customers' open amounts, the answers of committed saves, the phrases
// and the schema version.
#include "server/schema/OpenOrderAmounts.h"
#include "server/schema/Tables.h"

namespace orvane {

void addServerTables(std::vector<TableDef>& tables)
{
    using namespace column;
    const auto version = [](TableScope scope) {
        return TableDef{"SCHEMA_VERSION",
                        scope,
                        "schema version of this database; one row per applied version",
                        {integer("VERSION", "schema version number"), text("APPLIED_DATE", 8, "date applied YYYYMMDD")},
                        {"VERSION"}};
    };
    tables.push_back(version(TableScope::System));
    tables.push_back({"SYS_COMPANY",
                      TableScope::System,
                      "companies: company identifier to company database",
                      {
                          text("COMPANY_ID", 10, "company identifier (login, start parameter 1)"),
                          text("COMPANY_NAME", 60, "company name"),
                          text("COMPANY_DB", 30, "company database (schema or attached file name)"),
                      },
                      {"COMPANY_ID"},
                      {{{"COMPANY_DB"}, true}}});
    tables.push_back({"SYS_USER",
                      TableScope::System,
                      "login accounts; a password is kept only as a salted PBKDF2-HMAC-SHA256 hash",
                      {
                          text("USER_ID", 10, "user code (ADMMF.MF001 in each company)"),
                          text("USER_NAME", 30, "user name"),
                          text("PASSWORD_HASH", 160, "pbkdf2-sha256$iterations$salt$hash (hex)"),
                          text("ACTIVE", 1, "Y may log in, N locked"),
                      },
                      {"USER_ID"}});
    tables.push_back({"SYS_USER_COMPANY",
                      TableScope::System,
                      "the companies each user may log in to",
                      {
                          text("USER_ID", 10, "user code"),
                          text("COMPANY_ID", 10, "company identifier"),
                      },
                      {"USER_ID", "COMPANY_ID"}});
    tables.push_back({"SYS_MESSAGE",
                      TableScope::System,
                      "message texts by type letter and code (host GetMessage); placeholders %s",
                      {
                          text("MSG_TYPE", 1, "type letter C, D, E, I, Q, W", "GetMessage"),
                          text("MSG_CODE", 7, "six-digit code (one seven-digit code exists)", "GetMessage"),
                          text("MSG_TEXT", 255, "text, Simplified Chinese", "GetMessage"),
                      },
                      {"MSG_TYPE", "MSG_CODE"}});

    tables.push_back(version(TableScope::Company));
    tables.push_back(
        {"SYS_PARAM",
         TableScope::Company,
         "system parameters of the company (variable manager GetSysInfo); names in upper case, "
         "looked up without regard to case",
         {
             text("PARAM_NAME", 20, "parameter name, upper case (SYS001, SYS011, ZTK002 ...)", "GetSysInfo"),
             text("PARAM_VALUE", 255, "value as text", "GetSysInfo"),
             text("PARAM_NOTE", 60, "what the parameter does"),
         },
         {"PARAM_NAME"}});
    tables.push_back({std::string(writeCountTable),
                      TableScope::Company,
                      "one row counting the writes to the reference tables, raised by their triggers: answers "
                      "read from them are kept between calls while the count stands",
                      {integer("ID", "always 1"), integer(std::string(writeCountColumn), "writes counted")},
                      {"ID"}});
    tables.push_back({"PRG_PARAM",
                      TableScope::Company,
                      "program parameters sent in SvrData (MAX_RECORD, M11_TABLE, M11_KEY ...); the per-user "
                      "values USER_GROUP, GROUP_LIST, POWER_DATA come from ADMMF and ADMMG",
                      {
                          text("PROGRAM_ID", 10, "program identifier", "SvrData"),
                          text("PARAM_NAME", 20, "parameter name", "SvrData"),
                          text("PARAM_VALUE", 255, "value as text", "SvrData"),
                      },
                      {"PROGRAM_ID", "PARAM_NAME"}});
    tables.push_back({"DOC_NUMBER",
                      TableScope::Company,
                      "document numbering state: the last serial given per table, document type and prefix",
                      {
                          text("NUM_TABLE", 10, "document table (COPTC)"),
                          text("NUM_TYPE", 4, "document type (TC001)"),
                          text("NUM_PREFIX", 11, "number prefix built from the document date (YYMMDD, YYMM or empty)"),
                          integer("NUM_LAST", "last serial given", "QueryMaxSeq"),
                      },
                      {"NUM_TABLE", "NUM_TYPE", "NUM_PREFIX"}});
    tables.push_back({std::string(openAmountTable),
                      TableScope::Company,
                      "per customer, what the open lines of its confirmed orders still have to deliver, with tax, in "
                      "the local currency; kept by triggers on COPTC and COPTD",
                      {
                          text("CUSTOMER", 10, "customer (COPMA)", "CreditCtrl"),
                          number("AMOUNT", "open amount", "CreditCtrl"),
                          integer("LINES", "open lines counted"),
                      },
                      {"CUSTOMER"}});
    tables.push_back({"APPLY_REQUEST",
                      TableScope::Company,
                      "answers of committed saves by request identifier, so that a retried save is answered, "
                      "not written twice; kept for a configured time",
                      {
                          text("USER_ID", 10, "user code of the session that saved"),
                          text("REQUEST_ID", 64, "the client's request identifier"),
                          memo("ANSWER", "the apply result as sent, encoded and in base64"),
                          text("SEQNO", 11, "the number the save gave a new order, empty when none"),
                          integer("KEPT_AT", "when the save committed, seconds since 1970 (server clock)"),
                      },
                      {"USER_ID", "REQUEST_ID"},
                      {{{"KEPT_AT"}}}});
    tables.push_back({"PHRASE",
                      TableScope::Company,
                      "common phrases offered on free-text fields (phrase service)",
                      {
                          text("PHRASE_USER", 10, "user code, empty for everybody", "GetPhrase2"),
                          text("PHRASE_FIELD", 20, "field name the phrase is for, empty for any", "GetPhrase2"),
                          text("PHRASE_SEQ", 4, "order of the phrase", "GetPhrase2"),
                          text("PHRASE_TEXT", 255, "the phrase", "GetPhrase2"),
                      },
                      {"PHRASE_USER", "PHRASE_FIELD", "PHRASE_SEQ"}});
}

} // namespace orvane
