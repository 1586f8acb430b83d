#pragma once
// FVLInfo: TfrmVLInfo, the sign-off history of a document: one grid row per step the
// workflow reached (StringGrid1), OK ("确定"), and "存成文字档" (N1) on the grid's pop-up
// menu, which writes the grid to a text file and opens it. With the reading of the
// workflow's tagged history text ("GetVLApprove").
//
// Client (GUI) thread only; the readers are plain functions of any thread.

#include "framework/ZtForm.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QAction;
class QMenu;
class QPushButton;
class QTableWidget;

namespace orvane {

class TfrmVozuraz;

// The text of the first element <tag>...</tag> ("" when there is none), the entities &lt;
// &gt; &amp; read back.
std::string taggedText(std::string_view text, std::string_view tag);

// The rows of a history text: per branch of every pass, the row number from 1, the pass and
// branch numbers, flow role, received and signed times, result, recipient id and name, signer
// id and name. nullopt when RetVal is not "0".
std::optional<std::vector<std::vector<std::string>>> approveRows(std::string_view answer);

class TfrmVLInfo : public TZtForm {
    Q_OBJECT
public:
    // The history's columns.
    static constexpr int columnCount = 11;

    // owner shows the messages; it outlives the window.
    explicit TfrmVLInfo(TfrmVozuraz& owner);

    // Fills the grid, one row per step; the widths grow from 42 pixels to the widest text.
    void setRows(const std::vector<std::vector<std::string>>& rows);
    // Writes the titles and the rows, one line each and the cells separated by tabs, in the
    // installation code page; false when the file cannot be written.
    bool SaveToText(const std::string& path) const;

    QTableWidget* StringGrid1 = nullptr;
    QPushButton* btnOK = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;

private:
    // Asks for a file name, writes the grid there and opens the file; "文档保存失败 !" when
    // it cannot be written.
    void N1Click();

    TfrmVozuraz& owner_;
};

} // namespace orvane
