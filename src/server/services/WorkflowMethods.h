#pragma once
// The named methods of the sign-off workflow (see WorkflowJob.h and docs/workflow.md):
//
// "INSERTVLJOB": [job record] -> 0 queued, 1 the record, the document or its state refused,
//                2 no sign-off flow for the document type.
// "GetVLApprove": [user, flow code, document key, code page] -> the tagged history text of
//                 the document's latest job: RetVal "0" with one PassNoInfo per pass and one
//                 BranchInfo per step, or RetVal "1" with the code of an "E" message as ErrNum
//                 (200140 no history, 200141 arguments refused) and its text as ErrDis.

#include "server/services/NamedMethods.h"

namespace orvane {

void registerWorkflowMethods(NamedMethods& methods);

// The history answer of a document (what "GetVLApprove" sends).
std::string approveInfo(Database& db, const std::string& companyDb, const std::string& flowCode,
                        const std::string& documentKey);

} // namespace orvane
