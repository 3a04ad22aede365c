// The UTF-8 names of a code table's stocks for commands that print many of
// them: the table's records are mapped by code in one pass (the first record
// of a code wins, as CodeTable::FindCode has it) instead of a walk of the
// table per name, and each name is converted once.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "data/code_table.h"

namespace cli {

class StockNames {
public:
    explicit StockNames(const data::CodeTable& table);
    // The name, or the placeholder of a code the table lacks.
    const std::string& Of(uint32_t code) const;

private:
    const data::CodeTable& m_table;
    std::unordered_map<uint32_t, size_t> m_offsets;
    mutable std::unordered_map<uint32_t, std::string> m_names;
};

}  // namespace cli
