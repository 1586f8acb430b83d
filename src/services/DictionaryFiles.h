#pragma once
// DictionaryFiles: the client's copies of the data dictionary, three dataset files per
// interface language in the client's C_DATA folder: "DDFD" + language + ".cds" (the field rows,
// MN001..MN009), "DDFM" + language + ".cds" (the fields' value lists, MP001..MP006) and
// "DDOBJ" + language + ".cds" (component properties, MO002..MO006). A file is read whole; a
// damaged one is refused with a line in the "DataDictionary" alert log, so the program keeps its
// design-time texts. Texts come back in the installation's code page. No Qt; client thread.

#include "platform/data/DataPacket.h"
#include "platform/text/CodePage.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class DictionaryFile { Fields, ValueLists, Objects };

// Diagnostic log source of the dictionary's refusals and skipped rows.
inline constexpr std::string_view dictionaryLogSource = "DataDictionary";

// "DDFD" / "DDFM" / "DDOBJ" + language + ".cds".
std::string dictionaryFileName(DictionaryFile file, std::string_view langType);
// The client's C_DATA folder (client path of the host configuration + "C_DATA/").
std::filesystem::path dictionaryFolder();

// The rows of one dictionary file, read by column name.
class DictionaryRows {
public:
    explicit DictionaryRows(DataPacket packet);

    std::size_t size() const { return packet_.rows.size(); }
    // The column of that name (any case); -1 when the file has none.
    int column(std::string_view name) const;
    bool isNull(std::size_t row, int column) const;
    // The value as text; "" for a null value or a missing column.
    std::string text(std::size_t row, int column) const;
    // The rows whose column holds objectName without regard to case, in file order.
    std::vector<std::size_t> rowsOf(int column, std::string_view objectName) const;

private:
    const Variant* value(std::size_t row, int column) const;

    DataPacket packet_;
};

// The file's rows; nothing for a missing file, and nothing (logged) for one that is damaged.
std::optional<DictionaryRows> loadDictionaryFile(const std::filesystem::path& file);
// loadDictionaryFile once per process: the rows are read again only after the file changed (its
// time or size), so every window that starts shares one reading; null when there are none.
std::shared_ptr<const DictionaryRows> sharedDictionaryFile(const std::filesystem::path& file);

// Writes rows as a dictionary file, its texts marked in codePage (the code page they are in),
// replaced whole: a reader meets the old file or the new one. Raises an error naming the file.
void saveDictionaryFile(const std::filesystem::path& file, DataPacket packet,
                        text::CodePage codePage = text::installationCodePage());

} // namespace orvane
