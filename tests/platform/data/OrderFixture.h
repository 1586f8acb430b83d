#pragma once
// A small order table for the dataset tests: heads (TC...) with nested lines (TD...) with
// nested sub-lines (TM...), served by a MemoryProvider, and the three nested client
// datasets bound the way the order data module binds them.

#include "platform/data/ClientDataSet.h"
#include "platform/data/MemoryProvider.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

inline std::vector<FieldDef> footFields()
{
    return {FieldDef::string("TM001", 4),  FieldDef::string("TM002", 11), FieldDef::string("TM003", 4),
            FieldDef::string("TM004", 20), FieldDef::string("TM006", 20), FieldDef::of("FLAG", FieldType::Float)};
}

inline std::vector<FieldDef> bodyFields()
{
    return {FieldDef::string("TD001", 4),           FieldDef::string("TD002", 11),
            FieldDef::string("TD003", 4),           FieldDef::of("TD008", FieldType::Float),
            FieldDef::of("FLAG", FieldType::Float), FieldDef::dataSet("qryFoot", footFields())};
}

inline std::vector<FieldDef> headFields()
{
    return {FieldDef::string("TC001", 4),           FieldDef::string("TC002", 11),
            FieldDef::string("TC004", 10),          FieldDef::of("TC029", FieldType::Float),
            FieldDef::of("FLAG", FieldType::Float), FieldDef::dataSet("qryBody", bodyFields())};
}

inline PacketRow footRow(const std::string& line, const std::string& item, double flag = 1)
{
    return {{Variant("2201"), Variant("0001"), Variant(line), Variant("F1"), Variant(item), Variant(flag)}, {}};
}

inline PacketRow bodyRow(const std::string& no, const std::string& line, double qty, std::vector<PacketRow> foot = {})
{
    return {{Variant("2201"), Variant(no), Variant(line), Variant(qty), Variant(1.0), Variant()}, {std::move(foot)}};
}

inline PacketRow headRow(const std::string& no, const std::string& customer, std::vector<PacketRow> body = {})
{
    return {{Variant("2201"), Variant(no), Variant(customer), Variant(0.0), Variant(1.0), Variant()},
            {std::move(body)}};
}

// Three orders: 0001 with two lines (the first with two sub-lines), 0002 with one line,
// 0003 without lines.
inline std::shared_ptr<MemoryProvider> orderProvider()
{
    auto provider = std::make_shared<MemoryProvider>(headFields());
    provider->setKeyFields("", {"TC001", "TC002"});
    provider->setKeyFields("qryBody", {"TD001", "TD002", "TD003"});
    provider->setKeyFields("qryBody.qryFoot", {"TM001", "TM002", "TM003", "TM004", "TM006"});
    provider->addRow(headRow(
        "0001", "C001",
        {bodyRow("0001", "0001", 5, {footRow("0001", "P1"), footRow("0001", "P2")}), bodyRow("0001", "0002", 7)}));
    provider->addRow(headRow("0002", "C002", {bodyRow("0002", "0001", 3)}));
    provider->addRow(headRow("0003", "C003"));
    return provider;
}

// Sets one field of the current record and posts it, editing first when browsing.
inline void setValue(DataSet& dataSet, const char* field, const std::string& value)
{
    if (dataSet.state() == DataSetState::Browse)
        dataSet.edit();
    dataSet.fieldByName(field).setAsString(value);
    dataSet.post();
}

// Appends a record with these fields set and posts it.
inline void appendRecord(DataSet& dataSet, std::initializer_list<std::pair<const char*, const char*>> values)
{
    dataSet.append();
    for (const auto& [field, value] : values)
        dataSet.fieldByName(field).setAsString(value);
    dataSet.post();
}

// cdsMain -> qryBody -> cdsBody1 -> qryFoot -> cdsFoot, with a companion field on the head
// that the packets do not carry.
struct OrderDataSets {
    explicit OrderDataSets(std::shared_ptr<Provider> provider)
    {
        auto head = headFields();
        head.back().nested.clear();
        head.push_back(FieldDef::string("TC004C1", 10));
        main.addFields(head);
        auto body = bodyFields();
        body.back().nested.clear();
        body1.addFields(body);
        foot.addFields(footFields());
        body1.setDataSetField(main.fieldByName("qryBody"));
        foot.setDataSetField(body1.fieldByName("qryFoot"));
        main.setProvider(std::move(provider));
    }

    void open()
    {
        main.open();
        body1.open();
        foot.open();
    }

    ClientDataSet main{"cdsMain"};
    ClientDataSet body1{"cdsBody1"};
    ClientDataSet foot{"cdsFoot"};
};

} // namespace orvane::test
