#include "sectors/query.h"

#include <cstdio>

#include "base/gbk.h"
#include "data/paths.h"

namespace sectors {
namespace {

bool IsDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

uint32_t Number(std::string_view digits) {
    uint32_t v = 0;
    for (char c : digits) v = v * 10 + static_cast<uint32_t>(c - '0');
    return v;
}

std::string Gbk(std::string_view utf8) {
    return base::Utf8ToGbk(utf8);
}

void Show(base::Prompter& prompter, const std::string& text) {
    prompter.ShowMessage(text, std::string(kPromptCaption));
}

// "Set2-150", "Max1-6000": keyword, digit 1-3, any one character, digits.
bool TuningEntry(std::string_view entry, std::string_view keyword, size_t digits, int* which,
                 uint32_t* value) {
    if (entry.size() != keyword.size() + 2 + digits || entry.substr(0, keyword.size()) != keyword)
        return false;
    const char d = entry[keyword.size()];
    const std::string_view v = entry.substr(keyword.size() + 2);
    if (d < '1' || d > '3' || !IsDigits(v)) return false;
    *which = d - '0';
    *value = Number(v);
    return true;
}

}  // namespace

std::string PropertyText(const SectorLibrary& library, uint32_t code) {
    std::string industries, concepts;
    size_t nIndustries = 0, nConcepts = 0;
    library.ForEach([&](const SectorView& s) {
        const uint32_t family = SectorFamily(s.number);
        if (family == kFamilyIndustry && nIndustries < kPropertyIndustries && s.HasMember(code)) {
            industries.append(s.name).append("|");
            ++nIndustries;
        } else if (family == kFamilyConcept && nConcepts < kPropertyConcepts && s.HasMember(code)) {
            concepts.append(s.name).append("|");
            ++nConcepts;
        }
        return true;
    });
    std::string text(kPropertyColour);
    if (nIndustries + nConcepts == 0) return text + Gbk("没有相关属性");
    return text + industries + concepts;
}

QueryAnswer QuerySectorProperty(std::string_view entry, QueryContext& context,
                                base::Prompter& prompter) {
    QueryAnswer answer;
    if (entry.empty()) return answer;
    const auto first = static_cast<unsigned char>(entry[0]);
    if (first >= 'A') {
        int which = 0;
        uint32_t value = 0;
        if (entry == kDiagnosticKeyword) {
            answer.kind = QueryKind::Diagnostic;
            return answer;
        }
        if (context.tuning && TuningEntry(entry, kWeightKeyword, 3, &which, &value)) {
            uint32_t* w[] = {&context.tuning->weights.share, &context.tuning->weights.count,
                             &context.tuning->weights.move};
            *w[which - 1] = value;
            answer.kind = QueryKind::WeightSet;
            return answer;
        }
        if (context.tuning && TuningEntry(entry, kCapKeyword, 4, &which, &value)) {
            int64_t* c[] = {&context.tuning->caps.share, &context.tuning->caps.count,
                            &context.tuning->caps.move};
            *c[which - 1] = value;
            answer.kind = QueryKind::CapSet;
            return answer;
        }
        answer.kind = QueryKind::Message;
        const auto number = FindSectorByName(context.library, Gbk(entry));
        if (!number) {
            Show(prompter, "在库中未找到名称相同的的版块");
            return answer;
        }
        Show(prompter, "该版块在库中序号为：" + std::to_string(SectorDisplayNumber(*number)));
        return answer;
    }
    if (entry.size() == 6 && IsDigits(entry)) {
        const uint32_t code = Number(entry);
        if (!context.codes || context.codes->FindCode(code) == 0) {
            answer.kind = QueryKind::Message;
            Show(prompter, "未找到该代码对应的股票");
            return answer;
        }
        std::string name = context.codes->StockName(code);
        while (!name.empty() && name.back() == ' ') name.pop_back();
        answer.kind = QueryKind::Property;
        answer.caption = data::CodeText(code) + "(" + name + ")" + Gbk("板块属性");
        answer.propertyText = PropertyText(context.library, code);
        return answer;
    }
    if (entry.size() == 4 && IsDigits(entry)) {
        const uint32_t family = static_cast<uint32_t>(entry[0] - '0');
        const uint32_t number = family | (Number(entry.substr(1)) << 8);
        const size_t rank = context.outcome ? context.outcome->Result().FindRank(number) : 0;
        if (rank == 0) {
            answer.kind = QueryKind::Message;
            Show(prompter, "在搜索结果中无该序号的板块");
            return answer;
        }
        answer.kind = QueryKind::SectorFound;
        answer.rank = rank;
        answer.members = SectorMemberCount(context.library, number);
        answer.lines = {"该版块在库中总个股数：" + std::to_string(answer.members),
                        "该版块在搜索结果排序：" + std::to_string(rank)};
        return answer;
    }
    return answer;
}

std::string DiagnosticPage::Markup() const {
    std::string text = headline;
    for (const auto& row : rows) text += "/n" + row;
    return text;
}

DiagnosticPage ShowDiagnosticPage(const ScanOutcome& outcome, const SectorLibrary& library,
                                  const RankTuning& tuning) {
    DiagnosticPage page;
    const Ranking& r = outcome.ranking;
    const RankWeights& w = tuning.weights;
    const RankCaps& c = tuning.caps;
    char line[256];
    std::snprintf(line, sizeof line,
                  "板块数=%zu Min_cx=%d Ahead_cx=%d CXL_p=%u CXL_Max=%lld CX_Code_p=%u CX_Max=%lld "
                  "ZF_Code_p=%u ZF_Max=%lld",
                  r.sectors.size(), r.minCx, r.aheadCx, w.share, static_cast<long long>(c.share),
                  w.count, static_cast<long long>(c.count), w.move, static_cast<long long>(c.move));
    page.headline = Gbk(line);
    for (size_t i = 0; i < r.sectors.size() && i < 40; ++i) {
        const RankedSector& s = r.sectors[i];
        ScoreParts parts;
        for (const SectorPair& q : r.qualifiedShares) {
            if (q.sector != s.number) continue;
            parts = QualifiedScoreParts(q.value - kQualifiedBonus, s.hits, s.members, r.minCx,
                                        s.sum, outcome.settings.threshold, w, c);
            break;
        }
        std::snprintf(line, sizeof line, "%zu ", i + 1);
        std::string row = line + SectorNameAndFamily(library, s.number).name;
        std::snprintf(line, sizeof line, " %04u 总股%u 含股%d 总分：%lld(%lld,%lld,%lld)",
                      SectorDisplayNumber(s.number), s.members, s.hits,
                      static_cast<long long>(parts.Total()), static_cast<long long>(parts.share),
                      static_cast<long long>(parts.count), static_cast<long long>(parts.move));
        page.rows.push_back(row + Gbk(line));
    }
    return page;
}

}  // namespace sectors
