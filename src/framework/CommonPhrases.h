#pragma once
// F2 on a free-text field: the common phrases of the field from the phrase service
// ("GetPhrase2" through the brokers), one of them chosen in a small list window
// (frmCommonPhrases, list lstPhrase; Enter or a double-click chooses, Escape chooses none)
// and inserted at the cursor of the edit. Client thread only.

#include <string_view>

class QWidget;

namespace orvane {

class TBrokers;

// Inserts the chosen phrase into edit (a line edit or a plain-text edit, data-aware or not);
// false when the field has no phrase, nothing was chosen or edit takes no text.
bool InsertCommonPhrase(TBrokers& brokers, QWidget& edit, std::string_view fieldName);

} // namespace orvane
