#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "app/DirectXDrivers.h"
#include "app/Log.h"
#include "platform/Library.h"
#include "platform/Testing.h"

namespace {

IDirect3D8* FakeDirect3DCreate8(UINT) { return nullptr; }
HRESULT FakeDirectDrawCreate(GUID*, IDirectDraw**, IUnknown*) { return S_OK; }
HRESULT FakeDirectDrawCreateEx(GUID*, void**, const GUID&, IUnknown*) { return S_OK; }
HRESULT FakeDirectDrawEnumerateExA(LPDDENUMCALLBACKEXA, void*, DWORD) { return S_OK; }

int g_soundsMade = 0;
HRESULT FakeDirectSoundCreate(const GUID*, IDirectSound** created, IUnknown*) {
    ++g_soundsMade;
    *created = new Platform::CUnknownImpl<IDirectSound>;
    return S_OK;
}
HRESULT FailingDirectSoundCreate(const GUID*, IDirectSound** created, IUnknown*) {
    *created = nullptr;
    return E_FAIL;
}

class DirectXDriversTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::Testing::Reset();
        g_soundsMade = 0;
        GetLog().SetSink([this](std::string_view text) { m_log += text; });
    }
    void TearDown() override {
        GetLog().SetSink(nullptr);
        Platform::Testing::Reset();
    }
    bool Logged(const std::string& line) const { return m_log.find(line) != std::string::npos; }

    std::string m_log;
};

struct CFailureCase {
    const char* name;
    std::function<void()> arrange;
    std::function<bool(Engine::CDirectXDrivers&)> init;
    const char* library;
    const char* line;
};

void PrintTo(const CFailureCase& c, std::ostream* os) { *os << c.name; }

class DirectXFailureTest : public DirectXDriversTest, public ::testing::WithParamInterface<CFailureCase> {};

using Platform::ToProc;

} // namespace

TEST_P(DirectXFailureTest, LogsFreesAndReportsFalse) {
    const CFailureCase& c = GetParam();
    c.arrange();
    Engine::CDirectXDrivers drivers;
    EXPECT_FALSE(c.init(drivers));
    EXPECT_TRUE(Logged(c.line)) << m_log;
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount(c.library), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Libraries, DirectXFailureTest,
    ::testing::Values(
        CFailureCase{"D3D8Missing", [] {}, [](auto& d) { return d.D3D8Init(); }, "d3d8.dll",
                     "LoadLibrary(\"d3d8.dll\") : FAILED"},
        CFailureCase{"D3D8WithoutEntry", [] { Platform::RegisterLibrary("d3d8.dll", {}); },
                     [](auto& d) { return d.D3D8Init(); }, "d3d8.dll",
                     "GetProcAddress(m_hD3D8Lib, \"Direct3DCreate8\") : FAILED"},
        CFailureCase{"DDrawWithoutCreateEx",
                     [] {
                         Platform::RegisterLibrary("ddraw.dll", {{"DirectDrawCreate", ToProc(&FakeDirectDrawCreate)},
                                                                 {"DirectDrawEnumerateExA", ToProc(&FakeDirectDrawEnumerateExA)}});
                     },
                     [](auto& d) { return d.DDInit(true); }, "ddraw.dll",
                     "GetProcAddress(m_hDDrawLib, \"DirectDrawCreateEx\") : FAILED"},
        CFailureCase{"DDrawWithoutCreate",
                     [] {
                         Platform::RegisterLibrary("ddraw.dll", {{"DirectDrawCreateEx", ToProc(&FakeDirectDrawCreateEx)},
                                                                 {"DirectDrawEnumerateExA", ToProc(&FakeDirectDrawEnumerateExA)}});
                     },
                     [](auto& d) { return d.DDInit(false); }, "ddraw.dll",
                     "GetProcAddress(m_hDDrawLib, \"DirectDrawCreate\") : FAILED"},
        CFailureCase{"DSoundLoadFails",
                     [] {
                         Platform::RegisterLibrary("dsound.dll", {{"DirectSoundCreate", ToProc(&FakeDirectSoundCreate)}});
                         Platform::Testing::SetLibraryLoadFails("dsound.dll", true);
                     },
                     [](auto& d) { return d.DSInit(); }, "dsound.dll", "LoadLibrary(\"dsound.dll\") : FAILED"},
        CFailureCase{"DSoundWithoutEntry", [] { Platform::RegisterLibrary("dsound.dll", {}); },
                     [](auto& d) { return d.DSInit(); }, "dsound.dll",
                     "GetProcAddress(m_hDSoundLib, \"DirectSoundCreate\") : FAILED"},
        CFailureCase{"DSoundObjectFails",
                     [] { Platform::RegisterLibrary("dsound.dll", {{"DirectSoundCreate", ToProc(&FailingDirectSoundCreate)}}); },
                     [](auto& d) { return d.DSInit(); }, "dsound.dll", "DirectSoundCreate(...) : E_FAIL"}),
    [](const ::testing::TestParamInfo<CFailureCase>& info) { return std::string(info.param.name); });

TEST_F(DirectXDriversTest, UsersShareOneLoadAndTheLastFreesIt) {
    Platform::RegisterLibrary("d3d8.dll", {{"Direct3DCreate8", ToProc(&FakeDirect3DCreate8)}});
    Engine::CDirectXDrivers drivers;
    ASSERT_TRUE(drivers.D3D8Init());
    ASSERT_TRUE(drivers.D3D8Init());
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("d3d8.dll"), 1);
    EXPECT_EQ(drivers.GetDirect3DCreate8(), &FakeDirect3DCreate8);
    drivers.D3D8Done();
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("d3d8.dll"), 1);
    drivers.D3D8Done();
    drivers.D3D8Done();  // one too many changes nothing
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("d3d8.dll"), 0);
    EXPECT_EQ(drivers.GetDirect3DCreate8(), nullptr);
}

TEST_F(DirectXDriversTest, FailedLookupKeepsTheLibraryForItsOtherUsers) {
    Platform::RegisterLibrary("ddraw.dll", {{"DirectDrawCreate", ToProc(&FakeDirectDrawCreate)},
                                            {"DirectDrawEnumerateExA", ToProc(&FakeDirectDrawEnumerateExA)}});
    Engine::CDirectXDrivers drivers;
    ASSERT_TRUE(drivers.DDInit(false));
    EXPECT_FALSE(drivers.DDInit(true));
    EXPECT_TRUE(Logged("GetProcAddress(m_hDDrawLib, \"DirectDrawCreateEx\") : FAILED"));
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("ddraw.dll"), 1) << "the first user still holds it";
    EXPECT_EQ(drivers.GetDirectDrawCreate(), &FakeDirectDrawCreate);
    drivers.DDDone();
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("ddraw.dll"), 0);
}

TEST_F(DirectXDriversTest, OneDirectSoundObjectReleasedByTheLastUser) {
    Platform::RegisterLibrary("dsound.dll", {{"DirectSoundCreate", ToProc(&FakeDirectSoundCreate)}});
    Engine::CDirectXDrivers drivers;
    ASSERT_TRUE(drivers.DSInit());
    ASSERT_TRUE(drivers.DSInit());
    EXPECT_EQ(g_soundsMade, 1);
    EXPECT_TRUE(Logged("DirectSoundCreate(...) : S_OK"));
    EXPECT_NE(drivers.GetDirectSound(), nullptr);
    drivers.DSDone();
    EXPECT_FALSE(Logged("m_pDS->Release()"));
    drivers.DSDone();
    EXPECT_TRUE(Logged("m_pDS->Release() : 0"));
    EXPECT_EQ(drivers.GetDirectSound(), nullptr);
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dsound.dll"), 0);
}

TEST_F(DirectXDriversTest, BuiltInDirectInputLoads) {
    Engine::CDirectXDrivers drivers;
    ASSERT_TRUE(drivers.DIInit());
    EXPECT_EQ(drivers.GetDirectInputCreateA(), &DirectInputCreateA);
    drivers.DIDone();
    EXPECT_EQ(Platform::Testing::GetLibraryLoadCount("dinput.dll"), 0);
    EXPECT_STREQ(DXErrorToString(DIERR_INPUTLOST), "DIERR_INPUTLOST");
    EXPECT_STREQ(DXErrorToString(HRESULT(0x8BADF00Du)), "Unknown");
}
