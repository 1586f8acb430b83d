// The tables of the sign-off workflow the server keeps itself: the flows' steps and the
// history of every job. The queue (VLJOBQUE) and the settings (ADMMQ, ZTKMA, ZTKMB) are
// administration tables.
#include "server/schema/Tables.h"

namespace orvane {

using namespace column;

void addWorkflowTables(std::vector<TableDef>& tables)
{
    tables.push_back({"VLFLOW",
                      TableScope::Company,
                      "the steps of a sign-off flow: passes one after the other, branches of a pass side by side",
                      {
                          text("FL001", 20, "flow code (ADMMQ.MQ003)", "INSERTVLJOB, orvane-admin"),
                          integer("FL002", "pass number, from 1"),
                          integer("FL003", "branch number within the pass, from 1"),
                          text("FL004", 30, "flow role"),
                          text("FL005", 10, "recipient (ZTKMA)"),
                      },
                      {"FL001", "FL002", "FL003"}});
    tables.push_back(
        {"VLHISTORY",
         TableScope::Company,
         "the sign-off history: one row per step a job reached",
         {
             text("HS001", 20, "flow code", "GetVLApprove key"),
             text("HS002", 100, "document key: the key values joined by two bar characters", "GetVLApprove key"),
             integer("HS003", "round: 1 for the document's first job, one more for each job after"),
             integer("HS004", "pass number", "GetVLApprove PassNo"),
             integer("HS005", "branch number", "GetVLApprove BranchNo"),
             text("HS006", 30, "flow role", "GetVLApprove FlowRole"),
             text("HS007", 19, "received YYYY-MM-DD HH:MM:SS", "GetVLApprove RecTime"),
             text("HS008", 19, "signed, empty while pending", "GetVLApprove ApproveTime"),
             text("HS009", 10, "result: 待签核, 同意, 退件, 撤销", "GetVLApprove ApproveRet"),
             text("HS010", 10, "recipient (ZTKMA)", "GetVLApprove RecPersonId"),
             text("HS011", 10, "signer (ZTKMA or the operator)", "GetVLApprove ApprovePersonId"),
             text("HS012", 10, "program identifier"),
         },
         {"HS001", "HS002", "HS003", "HS004", "HS005"}});
}

} // namespace orvane
