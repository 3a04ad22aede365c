#include "cli/stock_names.h"

#include "base/gbk.h"

namespace cli {

StockNames::StockNames(const data::CodeTable& table) : m_table(table) {
    const size_t count = table.Count();
    m_offsets.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t offset = data::CodeTable::RecordOffset(i);
        m_offsets.emplace(table.CodeAt(offset), offset);  // keeps the first
    }
}

const std::string& StockNames::Of(uint32_t code) const {
    auto it = m_names.find(code);
    if (it != m_names.end()) return it->second;
    const auto at = m_offsets.find(code);
    const std::string gbk = at != m_offsets.end() ? m_table.NameAt(at->second) : data::UnknownStockName();
    return m_names.emplace(code, base::GbkToUtf8(gbk)).first->second;
}

}  // namespace cli
