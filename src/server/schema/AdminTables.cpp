// Programs, users and rights, sign-off settings, attachments, the document store and
// the workflow queue, accounts: the administrative tables of a company database.
#include "server/schema/Tables.h"

namespace orvane {

void addAdminTables(std::vector<TableDef>& tables)
{
    using namespace column;
    tables.push_back({"ADMMB",
                      TableScope::Company,
                      "programs of the suite",
                      {
                          text("MB001", 10, "program identifier", "06 key; SimpleSql"),
                          text("MB002", 60, "program name (window caption)", "06:0; SimpleSql"),
                          text("MB003", 20, "program attribute", "06:1"),
                          text("MB004", 3, "system family (COP, INV ...)", "06:2"),
                          text("MB005", 60, "module file", "06:3"),
                          text("MB006", 60, "server object class", "06:4"),
                          text("MB007", 20, "program version", "06:5"),
                          text("MB008", 60, "help file", "06:6"),
                      },
                      {"MB001"}});
    tables.push_back({"ADMMF",
                      TableScope::Company,
                      "users of the company",
                      {
                          text("MF001", 10, "user code", "SimpleSql rights query key"),
                          text("MF002", 30, "user name"),
                          text("MF003", 6, "department"),
                          text("MF004", 10, "user group (USER_GROUP)", "SvrData"),
                          text("MF005", 1, "super user: Y has every right in every program", "SimpleSql rights query"),
                          text("MF006", 255, "group list (GROUP_LIST)", "SvrData"),
                          text("MF007", 60, "e-mail address"),
                      },
                      {"MF001"}});
    tables.push_back({"ADMMG",
                      TableScope::Company,
                      "rights of a user in a program",
                      {
                          text("MG001", 10, "user code", "SimpleSql rights query"),
                          text("MG002", 10, "program identifier", "SimpleSql rights query"),
                          text("MG003", 1, "Y may run the program"),
                          text("MG006", 60, "rights text F0,F1,...,F5 (POWER_DATA)", "SvrData; SimpleSql rights query"),
                      },
                      {"MG001", "MG002"}});
    tables.push_back(
        {"ADMMN",
         TableScope::Company,
         "data dictionary: a field's label, width, position and value kind per object and language",
         {
             text("MN001", 10, "table of the field (the value lists' key)", "DataDictionary"),
             text("MN002", 10, "object: program identifier, or Vozuraz for the framework", "DataDictionary"),
             text("MN003", 30, "dataset component (cdsMain ...)", "DataDictionary"),
             text("MN004", 20, "field name", "DataDictionary"),
             text("MN005", 10, "value kind: DATE, PERCENT or other", "DataDictionary"),
             text("MN006", 60, "display label", "DataDictionary"),
             text("MN007", 5, "display width; 0 hides the field", "DataDictionary"),
             text("MN008", 5, "position among the dataset's fields", "DataDictionary"),
             text("MN009", 255, "text of the control bound to the field", "DataDictionary"),
             text("MN010", 3, "interface language (CHS, CHT, ENG)", "DataDictionary"),
         },
         {"MN010", "MN002", "MN003", "MN004"}});
    tables.push_back({"ADMMP",
                      TableScope::Company,
                      "data dictionary: the value lists of fields per language",
                      {
                          text("MP001", 10, "table of the field (ADMMN.MN001)", "DataDictionary"),
                          text("MP002", 10, "object (ADMMN.MN002)", "DataDictionary"),
                          text("MP003", 20, "field name (ADMMN.MN004)", "DataDictionary"),
                          text("MP004", 10, "order of the entry", "DataDictionary"),
                          text("MP005", 20, "stored value", "DataDictionary"),
                          text("MP006", 60, "text shown", "DataDictionary"),
                          text("MP007", 3, "interface language (CHS, CHT, ENG)", "DataDictionary"),
                      },
                      {"MP007", "MP001", "MP002", "MP003", "MP004"}});
    tables.push_back(
        {"ADMMO",
         TableScope::Company,
         "data dictionary: property values of a form's components per object and language",
         {
             text("MO001", 3, "interface language (CHS, CHT, ENG)", "DataDictionary"),
             text("MO002", 10, "object: program identifier, or Vozuraz for the framework", "DataDictionary"),
             text("MO003", 40, "component name", "DataDictionary"),
             text("MO004", 40, "remark"),
             text("MO005", 60, "property path, parts separated by .", "DataDictionary"),
             text("MO006", 255, "property value", "DataDictionary"),
         },
         {"MO001", "MO002", "MO003", "MO005"}});
    tables.push_back({"ADMMQ",
                      TableScope::Company,
                      "electronic sign-off settings per program and document type",
                      {
                          text("MQ001", 10, "program identifier", "02 key"),
                          text("MQ002", 4, "document type", "02 key"),
                          text("MQ003", 20, "sign-off flow code (second argument of GetVLApprove)", "02:1"),
                          text("MQ004", 1, "sign-off mode: Y sign-off, C confirm after sign-off", "02 (QueryData)"),
                          text("MQ005", 1, "Y suppresses the send dialog", "02 (QueryData)"),
                          text("MQ006", 60, "remark"),
                      },
                      {"MQ001", "MQ002"}});
    tables.push_back({"ADMMR",
                      TableScope::Company,
                      "data rights: a user or group sees only rows whose field part matches",
                      {
                          text("MR001", 10, "user code or group code"),
                          text("MR002", 10, "program identifier"),
                          text("MR003", 10, "field name the condition applies to"),
                          integer("MR004", "first character of the field part (SUBSTRING start)"),
                          integer("MR005", "length of the field part"),
                          text("MR006", 20, "allowed value of the field part"),
                      },
                      {"MR001", "MR002", "MR003", "MR006"}});
    tables.push_back({"ATTACH",
                      TableScope::Company,
                      "attachments of documents",
                      {
                          text("PARENT", 10, "program identifier", "SimpleSql attachments query"),
                          text("COMPANYID", 10, "company identifier", "SimpleSql attachments query"),
                          text("KEYVALUES", 100, "document key values", "SimpleSql attachments query"),
                          text("SEQ", 4, "attachment number within the document"),
                          text("FILENAME", 255, "stored file name"),
                          text("DESCRIPTION", 255, "description"),
                      },
                      {"PARENT", "COMPANYID", "KEYVALUES", "SEQ"}});
    tables.push_back({"DMS",
                      TableScope::Company,
                      "document store index (shipping-mark pictures, item documents)",
                      {
                          text("DOC_KEY", 255, "mark text or file name the document is found by", "01 key"),
                          text("FILE_NAME", 255, "file name the picture loads from", "01:0"),
                          text("DOC_REF", 60, "document reference in the store", "01:1"),
                          text("DOC_NOTE", 255, "description"),
                      },
                      {"DOC_KEY"}});
    tables.push_back({"DMS_CONTENT",
                      TableScope::Company,
                      "document store contents: the file of each document reference, its bytes in base64",
                      {
                          text("DOC_REF", 60, "document reference (DMS.DOC_REF, INVMB.MB026)", "GetDocument key"),
                          text("FILE_NAME", 255, "file name the document is checked out under", "GetDocument"),
                          memo("CONTENT", "the file's bytes, base64 (RFC 4648)", "GetDocument"),
                      },
                      {"DOC_REF"}});
    tables.push_back({"VLJOBQUE",
                      TableScope::Company,
                      "jobs sent to the sign-off workflow",
                      {
                          text("JOBKEY", 100, "document key: the key values joined by two bar characters", "02 key"),
                          text("PROGRAMID", 10, "program identifier"),
                          text("ACTION", 2, "action code (3 sign, 2 ..., 1 ...)"),
                          text("URGENCY", 2, "urgency"),
                          text("CONTACT", 10, "contact person (ZTKMA)"),
                          text("SENDER", 10, "user who sent the job"),
                          text("SEND_DATE", 8, "date sent YYYYMMDD"),
                          text("STATUS", 1, "queued, accepted, refused"),
                          memo("JOBDATA", "the job record as queued (INSERTVLJOB), element 17 the flow it is decided under"),
                      },
                      {"JOBKEY", "PROGRAMID"}});
    tables.push_back({"ZTKMA",
                      TableScope::Company,
                      "people of the workflow (contacts)",
                      {
                          text("MA001", 10, "person code", "01 key; 01:0"),
                          text("MA002", 30, "name", "01:1"),
                          text("MA003", 6, "department"),
                          text("MA004", 60, "e-mail address"),
                      },
                      {"MA001"}});
    tables.push_back({"ZTKMB",
                      TableScope::Company,
                      "workflow settings per program and document type",
                      {
                          text("MB001", 10, "program identifier", "02 key"),
                          text("MB002", 4, "document type", "02 key"),
                          text("MB003", 20, "workflow flow code written into the job record", "02:2"),
                          text("MB004", 60, "remark"),
                      },
                      {"MB001", "MB002"}});
    tables.push_back({"ACTMA",
                      TableScope::Company,
                      "accounts",
                      {
                          text("MA001", 20, "account code", "66:0"),
                          text("MA002", 60, "account name", "66"),
                          text("MA003", 1, "account kind"),
                      },
                      {"MA001"},
                      {{{"MA002"}}}});
}

} // namespace orvane
