#include "server/db/QueryResult.h"

#include "platform/text/ByteText.h"
#include "server/db/DbError.h"

namespace orvane {

const std::vector<std::string>& QueryResult::columns() const
{
    static const std::vector<std::string> none;
    return columnNames ? *columnNames : none;
}

int QueryResult::columnIndex(std::string_view name) const
{
    const std::vector<std::string>& names = columns();
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (text::equalsIgnoringAsciiCase(names[i], name))
            return static_cast<int>(i);
    }
    return -1;
}

const Variant& QueryResult::value(std::size_t row, std::string_view column) const
{
    const int index = columnIndex(column);
    if (index < 0)
        throw DbError(DbErrorKind::General, "The result has no column '" + std::string(column) + "'");
    if (row >= rows.size())
        throw DbError(DbErrorKind::General,
                      "The result has no row " + std::to_string(row) + " (it has " + std::to_string(rows.size()) + ")");
    return rows[row][static_cast<std::size_t>(index)];
}

} // namespace orvane
