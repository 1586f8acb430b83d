#pragma once
// A shown test window with a small dataset of codes and names, shared by the control tests.

#include "platform/data/ClientDataSet.h"
#include "platform/data/DataSource.h"
#include "support/LocalText.h"
#include "support/ScriptedDialogs.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace orvane::test {

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        dataSet.addFields(
            {FieldDef::string("CODE", 4), FieldDef::string("NAME", 6), FieldDef::of("QTY", FieldType::Integer)});
        dataSet.fieldByName("NAME").setDisplayLabel(gbk("名称"));
        dataSet.createDataSet();
        for (const auto& [code, qty] : {std::pair{"A1", 5}, {"B2", 2}, {"C3", 9}, {"D4", 2}})
            add(code, qty);
        dataSet.first();
        window.resize(500, 300);
    }

    void add(const char* code, int qty)
    {
        dataSet.append();
        dataSet.fieldByName("CODE").setAsString(code);
        dataSet.fieldByName("QTY").setAsInteger(qty);
        dataSet.post();
    }

    // Shows the window and waits until it is active, so focus moves as for a user.
    void showWindow()
    {
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    ScriptedDialogs dialogs;
    ClientDataSet dataSet{"cdsMain"};
    DataSource source{&dataSet};
    QWidget window;
};

} // namespace orvane::test
