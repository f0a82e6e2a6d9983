#include "tools/LongNotices.h"

#include "tools/NamedCase.h"

namespace Tools {

const char* LongNoticeName(CLongNotice notice) { return notice.name; }

bool FindLongNotice(const std::string& name, CLongNotice& notice) {
    return FindNamedCase(name, kLongNotices, &LongNoticeName, notice);
}

} // namespace Tools
