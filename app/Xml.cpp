#include "app/Xml.h"

#include <expat.h>

#include <algorithm>
#include <charconv>

#include "app/LoadingQuitCheck.h"
#include "app/Log.h"

namespace Engine {

CXMLNode::~CXMLNode() { CLoadingQuitCheck::CountStops(); }

const CString* CXMLNode::FindAttribute(std::string_view name) const {
    for (const Attribute& attribute : m_attributes) {
        if (attribute.first.view() == name) return &attribute.second;
    }
    return nullptr;
}

CXMLNode* CXMLNode::AddChild(std::unique_ptr<CXMLNode> child) {
    m_children.push_back(std::move(child));
    return m_children.back().get();
}

const CXMLNode* CXMLNode::FindFirst(std::string_view name) const {
    if (m_name.view() == name) return this;
    for (const auto& child : m_children) {
        if (const CXMLNode* found = child->FindFirst(name)) return found;
    }
    return nullptr;
}

// ----------------------------------------------------------- CXMLTreeBuilder

bool CXMLTreeBuilder::StartElement(const char* name, const char** attributes) {
    if (m_open.size() >= kMaxDepth) return false;
    auto node = std::make_unique<CXMLNode>();
    CXMLNode* added = nullptr;
    if (m_open.empty()) {
        m_root = std::move(node);
        added = m_root.get();
    } else {
        added = m_open.back()->AddChild(std::move(node));
    }
    m_open.push_back(added);
    added->SetName(name);
    for (const char** pair = attributes; pair && pair[0] && pair[1]; pair += 2) added->AddStringPair(pair[0], pair[1]);
    return true;
}

void CXMLTreeBuilder::CharacterData(const char* text, int length) {
    if (!m_open.empty() && length > 0) m_open.back()->AppendValue(std::string_view(text, size_t(length)));
}

void CXMLTreeBuilder::EndElement() {
    if (!m_open.empty()) m_open.pop_back();
}

std::unique_ptr<CXMLNode> CXMLTreeBuilder::TakeRoot() {
    m_open.clear();
    return std::move(m_root);
}

// ------------------------------------------------------------------- reading

namespace {

// Expat scans a token left unfinished at the end of a pass again from its
// start at the next pass. While passes keep ending inside one token, each
// hands expat twice the bytes of the last, so that the token's bytes are
// scanned a bounded number of times; once any token completes, passes go
// back to the usual size.
constexpr size_t kPassBytes = 64 * 1024;
constexpr size_t kMaxPassBytes = size_t(1) << 30;  // expat takes an int
// Bytes handed to expat per unit of loading work.
constexpr size_t kBytesPerUnit = 4096;

struct CParseState {
    XML_Parser parser;
    CXMLTreeBuilder builder;
    bool tooDeep = false;
    bool cancelled = false;
    bool tokenEnded = false;  // a callback came in the last pass
};

// A unit counted inside expat: nothing may be thrown through it, so a quit
// stops the parser, and the reader unwinds once expat has returned.
bool CountStopsParser(CParseState& state) {
    if (!CLoadingQuitCheck::CountStops()) return false;
    state.cancelled = true;
    XML_StopParser(state.parser, XML_FALSE);
    return true;
}

void XMLCALL OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto* state = static_cast<CParseState*>(data);
    state->tokenEnded = true;
    if (CountStopsParser(*state)) return;
    if (!state->builder.StartElement(name, attributes)) {
        state->tooDeep = true;
        XML_StopParser(state->parser, XML_FALSE);
    }
}

void XMLCALL OnEnd(void* data, const XML_Char*) {
    auto* state = static_cast<CParseState*>(data);
    state->tokenEnded = true;
    state->builder.EndElement();
}

void XMLCALL OnCharacters(void* data, const XML_Char* text, int length) {
    auto* state = static_cast<CParseState*>(data);
    state->tokenEnded = true;
    if (!CountStopsParser(*state)) state->builder.CharacterData(text, length);
}

// Everything else the tree does not keep (comments, declarations,
// processing instructions) tells only that a token ended.
void XMLCALL OnOther(void* data, const XML_Char*, int) { static_cast<CParseState*>(data)->tokenEnded = true; }

struct CParserDeleter {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// One unit for every kBytesPerUnit bytes, counted one by one so that the
// looks keep their interval however many a pass holds; true once stopped.
bool CountBytesStops(size_t& uncounted) {
    for (; uncounted >= kBytesPerUnit; uncounted -= kBytesPerUnit)
        if (CLoadingQuitCheck::CountStops()) return true;
    return false;
}

[[noreturn]] void LeaveCancelledRead(CParseState& state) {
    CProcessEnd::Leave(state.builder.TakeRoot());
    throw CLoadCancelled();
}

} // namespace

std::unique_ptr<CXMLNode> ParseXML(CAbstractFile& stream, const CString& name) {
    std::unique_ptr<XML_ParserStruct, CParserDeleter> parser(XML_ParserCreate(nullptr));
    if (!parser) {
        GetLog().PrintLine("XML parse error in '%s' at line 0: out of memory", name.c_str());
        return nullptr;
    }
    CParseState state{parser.get(), {}, false, false, false};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnCharacters);
    XML_SetDefaultHandlerExpand(parser.get(), OnOther);

    size_t passBytes = kPassBytes;
    size_t uncountedBytes = 0;
    for (;;) {
        void* buffer = XML_GetBuffer(parser.get(), int(passBytes));
        const size_t got = buffer ? stream.Read(buffer, passBytes) : 0;
        const bool last = got < passBytes;
        state.tokenEnded = false;
        if (!buffer || XML_ParseBuffer(parser.get(), int(got), last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
            if (state.cancelled) LeaveCancelledRead(state);
            const char* reason = state.tooDeep ? "elements nested too deeply"
                                               : XML_ErrorString(XML_GetErrorCode(parser.get()));
            GetLog().PrintLine("XML parse error in '%s' at line %d: %s", name.c_str(),
                               int(XML_GetCurrentLineNumber(parser.get())), reason);
            ReleaseXML(state.builder.TakeRoot());
            return nullptr;
        }
        // Counted once expat is done with them: the look a long pass calls
        // for follows it at once.
        uncountedBytes += got;
        if (CountBytesStops(uncountedBytes)) LeaveCancelledRead(state);
        if (last) break;
        passBytes = state.tokenEnded ? kPassBytes : std::min(passBytes * 2, kMaxPassBytes);
    }
    return state.builder.TakeRoot();
}

std::unique_ptr<CXMLNode> ParseXMLFile(const CString& name) {
    CFile file;
    if (!file.Open(name)) return nullptr;
    return ParseXML(file, name);
}

void ReleaseXML(std::unique_ptr<CXMLNode> root) {
    // The child lists still to go, deepest last. Each node goes childless,
    // one unit (its destructor counts it), and the look follows at once.
    std::vector<std::vector<std::unique_ptr<CXMLNode>>> rest;
    if (root) rest.emplace_back().push_back(std::move(root));
    try {
        while (!rest.empty()) {
            if (rest.back().empty()) {
                rest.pop_back();
                continue;
            }
            std::unique_ptr<CXMLNode> node = std::move(rest.back().back());
            rest.back().pop_back();
            std::vector<std::unique_ptr<CXMLNode>> children = node->TakeChildren();
            node.reset();
            if (!children.empty()) rest.push_back(std::move(children));
            CLoadingQuitCheck::Count(0);
        }
    } catch (const CLoadCancelled&) {
        CProcessEnd::Leave(std::move(rest));
        throw;
    }
}

std::string_view TrimXMLSpaces(std::string_view text) {
    constexpr std::string_view kSpaces = " \t\r\n";
    const size_t first = text.find_first_not_of(kSpaces);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpaces) - first + 1);
}

std::optional<int64_t> ParseXMLInteger(std::string_view text) {
    text = TrimXMLSpaces(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    } else if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty() || (base == 16 && (text.front() == '-' || text.front() == '+'))) return std::nullopt;
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

} // namespace Engine
