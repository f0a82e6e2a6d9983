#pragma once
// XML documents as a tree of CXMLNode, read with expat through CFile (so
// documents inside data packs work too).

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "app/File.h"
#include "app/LoadCancelled.h"
#include "app/ProcessEnd.h"
#include "app/String.h"

namespace Engine {

class CXMLNode {
public:
    using Attribute = std::pair<CString, CString>;

    CXMLNode() = default;
    // Letting go of a node is one unit of loading work (LoadingQuitCheck.h),
    // so that a big document's release is looked at as its reading is.
    ~CXMLNode();
    CXMLNode(const CXMLNode&) = delete;
    CXMLNode& operator=(const CXMLNode&) = delete;

    const CString& GetName() const { return m_name; }
    void SetName(const CString& name) { m_name = name; }
    // The raw character data of the element itself, whitespace included.
    const CString& GetValue() const { return m_value; }
    void AppendValue(std::string_view text) { m_value.Append(text); }

    // Attributes in document order.
    const std::vector<Attribute>& GetAttributes() const { return m_attributes; }
    void AddStringPair(const CString& name, const CString& value) { m_attributes.emplace_back(name, value); }
    // The first attribute of that name, or null.
    const CString* FindAttribute(std::string_view name) const;

    const std::vector<std::unique_ptr<CXMLNode>>& GetChildren() const { return m_children; }
    CXMLNode* AddChild(std::unique_ptr<CXMLNode> child);
    // Leaves the node childless, so that a tree can be let go of one node at
    // a time.
    std::vector<std::unique_ptr<CXMLNode>> TakeChildren() { return std::move(m_children); }
    // This node or its first descendant (document order) of that name.
    const CXMLNode* FindFirst(std::string_view name) const;

private:
    std::vector<std::unique_ptr<CXMLNode>> m_children;
    std::vector<Attribute> m_attributes;
    CString m_name;
    CString m_value;
};

// Builds the tree from the reader's three element callbacks.
class CXMLTreeBuilder {
public:
    // Deeper documents are refused rather than risking the stack.
    static constexpr size_t kMaxDepth = 256;

    // Allocates a node, makes it a child of the open node (or the root),
    // opens it and copies the attributes in order; false beyond kMaxDepth.
    bool StartElement(const char* name, const char** attributes);
    // Appends the characters to the value of the open node.
    void CharacterData(const char* text, int length);
    // Closes the open node.
    void EndElement();

    std::unique_ptr<CXMLNode> TakeRoot();

private:
    std::unique_ptr<CXMLNode> m_root;
    std::vector<CXMLNode*> m_open;
};

// Reads a document; a failure to open or parse is logged ("XML parse error in
// '%s' at line %d: %s" with expat's message) and gives null. Loading work
// counts one unit for every 4,096 bytes handed to expat, every element and
// every piece of character data: a quit found stops the parser, or the read
// between two passes, and CLoadCancelled is thrown once expat has returned,
// the half-built tree handed to the process's end. The time taken is linear
// in the bytes however long one token is.
std::unique_ptr<CXMLNode> ParseXMLFile(const CString& name);
std::unique_ptr<CXMLNode> ParseXML(CAbstractFile& stream, const CString& name);

// Lets go of a document read under a loading check, one node at a time;
// a quit found on the way throws CLoadCancelled, the nodes left handed to
// the process's end.
void ReleaseXML(std::unique_ptr<CXMLNode> root);

// Takes what a reader keeps from the document into taken, then lets the
// document go. A quit that cuts the taking or the letting go unwinds with
// what is left of the document and what was taken, handed to the process's
// end when it is ending.
template <class Taken, class Take>
void TakeFromXML(std::unique_ptr<CXMLNode> root, Taken& taken, Take take) {
    try {
        take(*root);
        ReleaseXML(std::move(root));
    } catch (const CLoadCancelled&) {
        if (root) CProcessEnd::Leave(std::move(root));
        CProcessEnd::Leave(std::move(taken));
        throw;
    }
}

// The text without leading and trailing XML white space.
std::string_view TrimXMLSpaces(std::string_view text);

// An integer attribute value: decimal with an optional sign, or hex after
// "0x"; surrounding white space is ignored. Null when malformed.
std::optional<int64_t> ParseXMLInteger(std::string_view text);

} // namespace Engine
