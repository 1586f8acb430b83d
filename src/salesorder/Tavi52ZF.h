#pragma once
// Tavi52ZF: TfrmTavi52ZF, the order window's two-page input dialog. Page 0 ("整套组件展开作业")
// asks for the parameters of a set item's explosion into lines: main item (F2 the bills of
// material), quantity, BOM date, loss rate, explosion mode, warehouse choice and warehouse (F2
// the factory's warehouses), planned delivery date. Page 1 (" 计算外包装材积") takes an outer
// package's length, width and height in centimetres and answers its volume in cubic feet to
// 3 decimals. Only the page asked for shows; the tabs are hidden. ShowZF runs it once.
// Client (GUI) thread only.

#include "framework/ZtDialogCF.h"
#include "platform/variant/Variant.h"

#include <initializer_list>
#include <string_view>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace orvane {

class TF2Button;
class TdmTavi52;

class TfrmTavi52ZF : public TfrmZtDialog {
    Q_OBJECT
public:
    static constexpr int explosionPage = 0;
    static constexpr int volumePage = 1;

    // module gives the order's factory (TC007) for the warehouse lookups.
    TfrmTavi52ZF(TfrmVozuraz& owner, TdmTavi52& module);

    // Shows page (explosionPage or volumePage) with its starting values.
    void selectPage(int page);
    // After OK: the explosion's eight values as an array, or the volume as a number.
    const Variant& result() const { return result_; }
    // Centimetres to cubic feet, 3 decimals, halves away from zero.
    static double CubicFeet(double length, double width, double height);

    QTabWidget* pgMain = nullptr;
    // The explosion page.
    QLineEdit* ed01 = nullptr;
    TF2Button* btn01 = nullptr;
    QLineEdit* ed02 = nullptr;
    MaskEdit* edDate03 = nullptr;
    TF2Button* btn03 = nullptr;
    QCheckBox* chk04 = nullptr;
    QComboBox* cbo05 = nullptr;
    QComboBox* cbo06 = nullptr;
    QLineEdit* ed07 = nullptr;
    TF2Button* btn07 = nullptr;
    MaskEdit* edDate08 = nullptr;
    TF2Button* btn08 = nullptr;
    // The volume page.
    QLineEdit* ed001 = nullptr;
    QLineEdit* ed002 = nullptr;
    QLineEdit* ed003 = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    // F2 on the warehouse: the warehouses of the order's factory.
    void OpenF2Window(int& key, QWidget* control) override;
    bool FormKeyDown(QKeyEvent& event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool FormCloseQuery() override;

private:
    QWidget* makeExplosionPage();
    QWidget* makeVolumePage();
    void resetExplosionPage();
    // "2:指定仓库" enables the warehouse (required); "1:主要仓库" empties and disables it.
    void cbo06Change();
    // Entering the empty planned delivery date: it takes over the BOM date.
    void controlEnter(QWidget* control);
    // Leaving a control (not towards Cancel): the item and the warehouse must exist, a date
    // must be a day, an empty dimension becomes "0". False when the focus was sent back.
    bool controlExit(QWidget* control);
    // "E" "000003" with the label's caption on the first empty required control of the page.
    bool requiredFilled();
    // The first edit whose text is not a number is named to the clerk and takes the focus; false then.
    bool numbersTyped(std::initializer_list<QLineEdit*> edits);
    // The quantity of sets is above zero (the server explodes none for 0); else the clerk is told
    // and it takes the focus.
    bool setsCounted();
    // The dialog's message part (its design text names the label as %1) about edit, to the clerk.
    void tellAbout(const QLineEdit& edit, std::string_view part, const char8_t* designText);
    Variant explosionValues() const;
    std::string factory() const;

    TdmTavi52& module_;
    Variant result_;
    bool checking_ = false; // a refusal is being shown: the focus moves it causes are not checked
};

// Runs TfrmTavi52ZF on page with the given size; true with its result on OK.
bool ShowZF(TfrmVozuraz& owner, TdmTavi52& module, int page, int width, int height, Variant& result);

} // namespace orvane
