#include "data/workspace.h"

#include <cstdlib>
#include <string>

namespace data {
namespace {

size_t WordsOf(size_t bytes) { return (bytes + 3) / 4; }

}  // namespace

void FreeWords::operator()(uint32_t* words) const { std::free(words); }

// calloc hands large blocks over as fresh anonymous pages, which it knows to be
// zero: nothing is written, and a page costs only when it is first used.
// Filling the buffers here made every start-up fault in all of their pages.
ZeroedWords AllocateZeroedWords(size_t words) {
    return ZeroedWords(static_cast<uint32_t*>(std::calloc(words, sizeof(uint32_t))));
}

const std::array<BufferSpec, kBufferCount>& BufferSpecs() {
    static const std::array<BufferSpec, kBufferCount> specs = {{
        {"pMKbufer", kMarketBufferBytes, "内存pMKbufer申请失败，请退出一些程序再运行本软件",
         "《板块擎宇》提示"},
        {"DP_pMKbufer", kIndexBufferBytes, "内存DP_pMKbufer申请失败，请退出一些程序再运行本软件",
         "《板块擎宇》提示"},
        {"ExRightsTable", kExRightsBufferBytes, "除权表内存申请失败，请退出一些程序再运行本软件",
         "提示"},
        {"WORK_DATA", kWorkDataBytes, "内存WORK_DATA申请失败，请退出一些程序再运行本软件",
         "《板块擎宇》提示"},
        {"GL_DATA", kSectorLibraryBytes, "GL_DATA内存申请失败，请退出一些程序再运行本软件", "提示"},
        {"Math_Stock_BKNo_ZFVal", kSectorMovesBytes,
         "Math_Stock_BKNo_ZFVal内存申请失败，请退出一些程序再运行本软件", "提示"},
        {"BK_Stock_Result_Buf", kScanResultBytes,
         "BK_Stock_Result_Buf内存申请失败，请退出一些程序再运行本软件", "提示"},
        {"Save_BK_NO_CX", kSectorHitsBytes, "内存Save_BK_NO_CX申请失败，请退出一些程序再运行本软件",
         "《板块擎宇》提示"},
        {"Save_BK_NO_ZF", kSectorMoveSumsBytes,
         "内存Save_BK_NO_ZF申请失败，请退出一些程序再运行本软件", "《板块擎宇》提示"},
        {"BK_Comp_Bufer", kSortPairsBytes, "内存BK_Comp_Bufer申请失败，请退出一些程序再运行本软件",
         "《板块擎宇》提示"},
    }};
    return specs;
}

bool Workspace::Allocate(base::Prompter& prompter) {
    return Allocate(prompter, AllocateZeroedWords);
}

bool Workspace::Allocate(base::Prompter& prompter, const WordAllocator& allocator) {
    const auto& specs = BufferSpecs();
    for (size_t i = 0; i < kBufferCount; ++i) {
        m_buffers[i] = allocator(WordsOf(specs[i].bytes));
        if (!m_buffers[i]) {
            prompter.ShowMessage(std::string(specs[i].failureMessage),
                                 std::string(specs[i].failureCaption));
            return false;
        }
    }
    m_weekly = allocator(kPeriodBarCapacity * 7);
    m_monthly = allocator(kPeriodBarCapacity * 7);
    if (!m_weekly || !m_monthly) {
        // Not one of the ten named buffers: the same wording, named after its use.
        prompter.ShowMessage("内存周月K线申请失败，请退出一些程序再运行本软件", "《板块擎宇》提示");
        return false;
    }
    m_allocated = true;
    return true;
}

void Workspace::Release() {
    for (auto& buffer : m_buffers) buffer.reset();
    m_weekly.reset();
    m_monthly.reset();
    m_allocated = false;
}

std::span<uint32_t> Workspace::Words(BufferId id) {
    auto i = static_cast<size_t>(id);
    return {m_buffers[i].get(), m_buffers[i] ? WordsOf(BufferSpecs()[i].bytes) : 0};
}

std::span<const uint32_t> Workspace::Words(BufferId id) const {
    auto i = static_cast<size_t>(id);
    return {m_buffers[i].get(), m_buffers[i] ? WordsOf(BufferSpecs()[i].bytes) : 0};
}

std::span<uint8_t> Workspace::Bytes(BufferId id) {
    auto i = static_cast<size_t>(id);
    return {reinterpret_cast<uint8_t*>(m_buffers[i].get()),
            m_buffers[i] ? BufferSpecs()[i].bytes : 0};
}

std::span<const uint8_t> Workspace::Bytes(BufferId id) const {
    auto i = static_cast<size_t>(id);
    return {reinterpret_cast<const uint8_t*>(m_buffers[i].get()),
            m_buffers[i] ? BufferSpecs()[i].bytes : 0};
}

}  // namespace data
