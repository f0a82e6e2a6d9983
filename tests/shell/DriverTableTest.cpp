#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell/DriverTable.h"

namespace {

std::vector<std::string> Order(const std::optional<CString>& name) {
    const Engine::CGraphicsDriverTable table = Engine::GetDefaultDriverTable();
    std::vector<std::string> names;
    for (const Engine::CGraphicsDriverEntry* entry : Engine::GetDriverTryOrder(table, name)) names.push_back(entry->name);
    return names;
}

TEST(DriverTableTest, NamedDriverFirstThenTableOrder) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Order(std::nullopt), (V{"OpenGL", "D3D8", "D3D7", "SFTW"}));
    EXPECT_EQ(Order(CString("D3D7")), (V{"D3D7", "D3D8", "OpenGL", "SFTW"}));
    EXPECT_EQ(Order(CString("sftw")), (V{"SFTW", "D3D8", "OpenGL", "D3D7"}));
    EXPECT_EQ(Order(CString("Glide")), (V{"OpenGL", "D3D8", "D3D7", "SFTW"}));
}

} // namespace
