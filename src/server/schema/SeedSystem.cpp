// The demonstration company, its system parameters, the program row and parameters of
// TAVI52, users, rights and workflow settings.
#include "server/schema/SeedTable.h"

namespace orvane {

std::vector<SeedTable> demoSystemData()
{
    return {
        {"SYS_COMPANY", {"COMPANY_ID", "COMPANY_NAME", "COMPANY_DB"}, {{"PRTest50", "演示公司", "PRTest50"}}},
        {"SYS_USER_COMPANY", {"USER_ID", "COMPANY_ID"}, {{"ZT", "PRTest50"}, {"SALES01", "PRTest50"}}},
    };
}

std::vector<SeedTable> demoAdminData()
{
    // Rights text F0,F1,...,F5: every right for ZT; SALES01 may browse, add and edit but
    // not delete, confirm or run the further commands.
    const char* fullRights = ",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY";
    const char* salesRights = ",N,N,YYYNNNRRNNNN,NNNNNNN,NNNNNNN";
    return {
        {"SYS_PARAM",
         {"PARAM_NAME", "PARAM_VALUE", "PARAM_NOTE"},
         {
             {"SYS001", "1", "日期显示方式 1 年月日"},
             {"SYS002", "/", "日期分隔符"},
             {"SYS003", "RMB", "本币"},
             {"SYS004", "0.17", "预设税率"},
             {"SYS011", "202001", "系统启用年月"},
             {"SYS014", "N", "保留"},
             {"SYS024", "1", "单位模式 1 单一单位"},
             {"SYS025", "N", "审核时输入审核日期"},
             {"SYS036", "Y", "使用外贸资料"},
             {"SYS041", "Y", "使用多角贸易"},
             {"SYS042", "Y", "记录传送次数"},
             {"SYS045", "Y", "使用选配"},
             {"SYS048", "Y", "交易资格检查"},
             {"SYS050", "Y", "销货状况查询方式"},
             {"SYS053", "1", "条码输入方式"},
             {"SYS054", "3", "客户编号输入方式"},
             {"SYS055", "3", "供应商编号输入方式"},
             {"SYS056", "1", "科目编号输入方式"},
             {"SYS060", "N", "电子签核"},
             {"ZTK002", "演示公司", "标题附加文字"},
         }},
        {"PRG_PARAM",
         {"PROGRAM_ID", "PARAM_NAME", "PARAM_VALUE"},
         {
             {"TAVI52", "MAX_RECORD", "20"},
             {"TAVI52", "M11_TABLE", "COPTC"},
             {"TAVI52", "M11_KEY", "TC001,TC002"},
             {"TAVI52", "D11_TABLE", "COPTD"},
             {"TAVI52", "D11_KEY", "TD001,TD002,TD003"},
             {"TAVI52", "F11_KEY", "TM001,TM002,TM003"},
         }},
        {"ADMMB",
         {"MB001", "MB002", "MB003", "MB004", "MB005", "MB006", "MB007", "MB008"},
         {{"TAVI52", "客户订单录入作业", "", "COP", "tavi52c.so", "TavIS52S.Class1", "1.0", ""}}},
        {"ADMMF",
         {"MF001", "MF002", "MF003", "MF004", "MF005", "MF006", "MF007"},
         {
             {"ZT", "系统管理员", "", "ADMIN", "Y", "'ADMIN'", ""},
             {"SALES01", "张伟", "S10", "SALES", "N", "'SALES'", ""},
         }},
        {"ADMMG",
         {"MG001", "MG002", "MG003", "MG006"},
         {{"ZT", "TAVI52", "Y", fullRights}, {"SALES01", "TAVI52", "Y", salesRights}}},
        {"ADMMQ",
         {"MQ001", "MQ002", "MQ003", "MQ004", "MQ005", "MQ006"},
         {{"TAVI52", "2201", "SO-FLOW", "Y", "N", "一般订单签核"}}},
        {"ZTKMA",
         {"MA001", "MA002", "MA003", "MA004"},
         {{"ZT", "系统管理员", "", ""}, {"S001", "张伟", "S10", ""}, {"S002", "李娜", "S20", ""}}},
        {"ZTKMB", {"MB001", "MB002", "MB003", "MB004"}, {{"TAVI52", "2201", "SO-FLOW", "一般订单签核"}}},
        {"ACTMA", {"MA001", "MA002", "MA003"}, {{"1122", "应收账款", "1"}, {"6001", "主营业务收入", "4"}}},
        {"PHRASE",
         {"PHRASE_USER", "PHRASE_FIELD", "PHRASE_SEQ", "PHRASE_TEXT"},
         {{"", "", "0001", "请尽快交货"}, {"", "", "0002", "含运费"}, {"", "TC013", "0003", "价格含税"}}},
    };
}

} // namespace orvane
