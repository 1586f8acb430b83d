// Row lookups of the administrative tables: the program row, sign-off and workflow
// settings, the document store and the workflow queue.
#include "server/catalogue/LookupDefs.h"

namespace orvane::lookup {

void addAdminLookups(std::vector<LookupEntry>& entries)
{
    using enum LookupShape;
    entries.push_back(
        entry("ADMMB", "06", Data, "the program row: caption, attribute and the values the forms use",
              {"program identifier", "company database (the session's is used)"},
              {col("MB002", "program name (window caption)"), col("MB003", "program attribute"),
               col("MB004", "system family"), col("MB005", "module file"), col("MB006", "server object class"),
               col("MB007", "program version"), col("MB008", "help file")},
              "{ADMMB} WHERE MB001 = ?", {key(0)}));
    entries.push_back(entry("ADMMQ", "02", Counted, "sign-off settings of a program and document type",
                            {"program identifier", "document type"},
                            {found(), col("MQ003", "sign-off flow code (GetVLApprove)"),
                             col("MQ004", "sign-off mode: Y sign-off, C confirm after sign-off"),
                             col("MQ005", "Y suppresses the send dialog"), col("MQ006", "remark")},
                            "{ADMMQ} WHERE MQ001 = ? AND MQ002 = ?"));
    entries.push_back(
        entry("DMS", "01", Data, "a document of the store by mark text or file name", {"mark text or file name"},
              {col("FILE_NAME", "file name the picture loads from (CheckOut argument 3)"),
               col("DOC_REF", "document reference (CheckOut argument 4)"), col("DOC_NOTE", "description")},
              "{DMS} WHERE DOC_KEY = ?"));
    entries.push_back(
        entry("VLJOBQUE", "02", Data, "whether a document is already in the sign-off queue",
              {"document key (key values joined by two bars)"},
              {col("PROGRAMID", "program identifier"), col("STATUS", "queue status"), col("SEND_DATE", "date sent")},
              "{VLJOBQUE} WHERE JOBKEY = ? ORDER BY PROGRAMID"));
    entries.push_back(entry("ZTKMA", "01", Data, "a workflow contact person", {"person code"},
                            {col("MA001", "person code"), col("MA002", "name")}, "{ZTKMA} WHERE MA001 = ?"));
    entries.push_back(entry(
        "ZTKMB", "02", Counted, "workflow settings of a program and document type",
        {"program identifier", "document type"},
        {found(), col("MB002", "document type"), col("MB003", "flow code for the job record"), col("MB004", "remark")},
        "{ZTKMB} WHERE MB001 = ? AND MB002 = ?"));
}

} // namespace orvane::lookup
