#include "demo/names.h"

#include <map>
#include <vector>

#include "demo/sector_catalogue.h"

namespace demo {
namespace {

// Every character a name can hold, each followed by its pinyin initial as the
// character is read in company names (行 as in 银行).
constexpr std::string_view kInitials =
    // leading characters
    "华H兴X中Z国G东D方F海H天T金J宏H达D信X安A泰T恒H瑞R博B康K新X远Y南N北B盛S通T光G"
    "明M长C江J山S云Y汇H力L凯K润R晨C德D永Y嘉J丰F宝B利L富F强Q升S科K星X航H银Y联L"
    "创C美M亚Y鼎D盈Y昌C和H平P隆L景J佳J立L源Y宇Y腾T飞F龙L振Z正Z精J英Y威W捷J迅X"
    "万W百B广G春C阳Y辰C卓Z越Y诚C智Z尚S雅Y合H众Z维W奥A欧O普P赛S特T锦J绿L蓝L大D"
    "世S纪J环H元Y祥X福F荣R鸿H豪H泽Z峰F林L森S高G开K"
    // region abbreviations
    "粤Y浙Z苏S京J沪H鲁L闽M川C皖W鄂E湘X豫Y辽L赣G冀J渝Y津J陕S吉J晋J滇D桂G黑H陇L"
    "琼Q黔Q蒙M宁N青Q"
    // name endings
    "行H保B险X人R寿S控K股G托T租Z赁L地D产C置Z业Y城C建J发F展Z物W服F务W酒J厂C啤P"
    "饮Y品P料L乳R牧M味W食S份F农N养Y殖Z种Z饲S粮L油Y渔Y洋Y药Y医Y制Z生S基J因Y疗L"
    "器Q械X学X复F健J房F电D子Z微W芯X片P集J成C技J路L显X示S密M材C讯X网W络L数S据J"
    "息X计J算S码M软R件J互H在Z线X游Y戏X娱Y影Y视S传C媒M文W化H出C版B营Y销X能N风F"
    "重Z工G池C气Q机J汽Q车C客K配P零L部B摩M托T动D程C装Z备B自Z轨G道D交J空K卫W"
    "船C舶B防F煤M矿K焦J石S热R境J态T钢G铁T管G铝L铜T属S黄H钨W锡X稀X土T纤X纺F塑S"
    "轮L胎T橡X胶J肥F泥N玻B璃L居J桥Q设S咨Z询X规G划H饰S修X织Z家J珠Z纸Z包B印Y刷S"
    "具J玩W厨C商S货H贸M连L锁S易Y旅L区Q店D餐C教J育Y检J测C流L供G应Y场C港G运Y速S"
    "容R护H理L实S团T证Z券Q口K字Z水S燃R储C资Z";

// Leading characters of names, each one UTF-8 character.
constexpr std::string_view kLeading =
    "华兴中国东方海天金宏达信安泰恒瑞博康新远南北盛通光明长江山云汇力凯润晨德永嘉丰宝利富强"
    "升科星航银联创美亚鼎盈昌和平隆景佳立源宇腾飞龙振正精英威捷迅万百广春阳辰卓越诚智尚雅合"
    "众维奥欧普赛特锦绿蓝大世纪环元祥福荣鸿豪泽峰林森高开";

constexpr const char* kGenericEndings = "股份|科技|集团|控股|实业|发展";

size_t Utf8Length(unsigned char lead) {
    return lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
}

std::vector<std::string_view> SplitCharacters(std::string_view text) {
    std::vector<std::string_view> out;
    for (size_t i = 0; i < text.size();) {
        const size_t n = Utf8Length(static_cast<unsigned char>(text[i]));
        out.push_back(text.substr(i, n));
        i += n;
    }
    return out;
}

const std::map<std::string_view, char>& InitialTable() {
    static const std::map<std::string_view, char> table = [] {
        std::map<std::string_view, char> t;
        auto chars = SplitCharacters(kInitials);
        for (size_t i = 0; i + 1 < chars.size(); i += 2) t.emplace(chars[i], chars[i + 1][0]);
        return t;
    }();
    return table;
}

const std::vector<std::string_view>& LeadingCharacters() {
    static const std::vector<std::string_view> chars = SplitCharacters(kLeading);
    return chars;
}

std::string_view PickEnding(Rng& rng, std::string_view list) {
    std::vector<std::string_view> endings;
    ForEachListItem(list, [&](std::string_view e) { endings.push_back(e); });
    return endings[rng.Below(static_cast<uint32_t>(endings.size()))];
}

}  // namespace

char PinyinInitial(std::string_view utf8Character) {
    const auto& table = InitialTable();
    auto it = table.find(utf8Character);
    return it == table.end() ? '?' : it->second;
}

std::string NameInitials(std::string_view utf8) {
    std::string initials;
    for (std::string_view ch : SplitCharacters(utf8)) {
        if (initials.size() == 4) break;
        if (ch.size() == 1) {
            const char c = ch[0];
            if (c >= 'a' && c <= 'z') initials += static_cast<char>(c - 'a' + 'A');
            if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) initials += c;
        } else {
            initials += PinyinInitial(ch);
        }
    }
    return initials;
}

StockName MakeStockName(Rng& rng, const char* industryEndings, const char* regionAbbreviation) {
    const auto& leading = LeadingCharacters();
    auto pickLeading = [&] { return leading[rng.Below(static_cast<uint32_t>(leading.size()))]; };
    std::string_view first = pickLeading();
    if (regionAbbreviation[0] != '\0' && rng.Below(100) < 25) first = regionAbbreviation;
    std::string_view second = pickLeading();
    while (second == first) second = pickLeading();
    const bool generic = rng.Below(100) < 20;
    std::string_view ending = PickEnding(rng, generic ? kGenericEndings : industryEndings);

    StockName name;
    name.utf8.append(first).append(second).append(ending);
    name.initials = NameInitials(name.utf8);
    return name;
}

StockName MakeStName(const StockName& name) {
    auto chars = SplitCharacters(name.utf8);
    StockName st;
    st.utf8 = "ST";
    for (size_t i = 0; i < 2 && i < chars.size(); ++i) st.utf8.append(chars[i]);
    st.initials = NameInitials(st.utf8);
    return st;
}

}  // namespace demo
