#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>

#include "app/DirectXDrivers.h"
#include "app/TestFiles.h"
#include "platform/Library.h"
#include "platform/Testing.h"

namespace {

using Platform::CLibraryEntry;
using Platform::ToProc;
using Platform::Testing::GetLibraryLoadCount;

IDirect3D8* FakeDirect3DCreate8(UINT) { return nullptr; }
HRESULT FakeDirectDrawCreate(GUID*, IDirectDraw**, IUnknown*) { return S_OK; }
HRESULT FakeDirectDrawCreateEx(GUID*, void**, const GUID&, IUnknown*) { return S_OK; }
HRESULT FakeDirectDrawEnumerateExA(LPDDENUMCALLBACKEXA, void*, DWORD) { return S_OK; }

struct CFakeDirectSound : Platform::CUnknownImpl<IDirectSound> {
    HRESULT SetCooperativeLevel(HWND, DWORD) override { return S_OK; }
    HRESULT CreateSoundBuffer(const DSBUFFERDESC*, IDirectSoundBuffer**, IUnknown*) override { return E_NOTIMPL; }
    HRESULT DuplicateSoundBuffer(IDirectSoundBuffer*, IDirectSoundBuffer**) override { return E_NOTIMPL; }
};

int g_soundsMade = 0;
HRESULT FakeDirectSoundCreate(const GUID*, IDirectSound** created, IUnknown*) {
    ++g_soundsMade;
    *created = new CFakeDirectSound;
    return S_OK;
}
HRESULT FailingDirectSoundCreate(const GUID*, IDirectSound** created, IUnknown*) {
    *created = nullptr;
    return E_FAIL;
}

const CLibraryEntry kCreate8{"Direct3DCreate8", ToProc(&FakeDirect3DCreate8)};
const CLibraryEntry kDDCreate{"DirectDrawCreate", ToProc(&FakeDirectDrawCreate)};
const CLibraryEntry kDDCreateEx{"DirectDrawCreateEx", ToProc(&FakeDirectDrawCreateEx)};
const CLibraryEntry kDDEnumerate{"DirectDrawEnumerateExA", ToProc(&FakeDirectDrawEnumerateExA)};
const CLibraryEntry kDSCreate{"DirectSoundCreate", ToProc(&FakeDirectSoundCreate)};
const CLibraryEntry kDSCreateFails{"DirectSoundCreate", ToProc(&FailingDirectSoundCreate)};

class DirectXDriversTest : public ::testing::Test {
protected:
    void SetUp() override {
        Platform::Testing::Reset();
        g_soundsMade = 0;
    }
    void TearDown() override { Platform::Testing::Reset(); }

    TestFiles::CLogCapture m_log;
    Engine::CDirectXDrivers m_drivers;
};

using Entries = std::vector<CLibraryEntry>;
struct CFailureCase {
    const char* name;
    const char* library;
    std::optional<Entries> entries;  // none: not registered
    bool loadFails;
    std::function<bool(Engine::CDirectXDrivers&)> init;
    const char* line;
};

void PrintTo(const CFailureCase& c, std::ostream* os) { *os << c.name; }

class DirectXFailureTest : public DirectXDriversTest, public ::testing::WithParamInterface<CFailureCase> {};

bool D3D8(Engine::CDirectXDrivers& d) { return d.D3D8Init(); }
bool DDraw(Engine::CDirectXDrivers& d) { return d.DDInit(false); }
bool DDrawEx(Engine::CDirectXDrivers& d) { return d.DDInit(true); }
bool DSound(Engine::CDirectXDrivers& d) { return d.DSInit(); }

} // namespace

TEST_P(DirectXFailureTest, LogsFreesAndReportsFalse) {
    const CFailureCase& c = GetParam();
    if (c.entries) Platform::RegisterLibrary(c.library, *c.entries);
    Platform::Testing::SetLibraryLoadFails(c.library, c.loadFails);
    EXPECT_FALSE(c.init(m_drivers));
    EXPECT_TRUE(m_log.Contains(c.line)) << m_log.Text();
    EXPECT_EQ(GetLibraryLoadCount(c.library), 0);
}

INSTANTIATE_TEST_SUITE_P(Libraries, DirectXFailureTest, ::testing::Values(
    CFailureCase{"D3D8Missing", "d3d8.dll", std::nullopt, true, D3D8, "LoadLibrary(\"d3d8.dll\") : FAILED"},
    CFailureCase{"D3D8WithoutEntry", "d3d8.dll", Entries{}, false, D3D8,
                 "GetProcAddress(m_hD3D8Lib, \"Direct3DCreate8\") : FAILED"},
    CFailureCase{"DDrawWithoutCreateEx", "ddraw.dll", Entries{kDDCreate, kDDEnumerate}, false, DDrawEx,
                 "GetProcAddress(m_hDDrawLib, \"DirectDrawCreateEx\") : FAILED"},
    CFailureCase{"DDrawWithoutCreate", "ddraw.dll", Entries{kDDCreateEx, kDDEnumerate}, false, DDraw,
                 "GetProcAddress(m_hDDrawLib, \"DirectDrawCreate\") : FAILED"},
    CFailureCase{"DSoundLoadFails", "dsound.dll", Entries{kDSCreate}, true, DSound, "LoadLibrary(\"dsound.dll\") : FAILED"},
    CFailureCase{"DSoundWithoutEntry", "dsound.dll", Entries{}, false, DSound,
                 "GetProcAddress(m_hDSoundLib, \"DirectSoundCreate\") : FAILED"},
    CFailureCase{"DSoundObjectFails", "dsound.dll", Entries{kDSCreateFails}, false, DSound,
                 "DirectSoundCreate(...) : E_FAIL"}),
    [](const ::testing::TestParamInfo<CFailureCase>& info) { return std::string(info.param.name); });

TEST_F(DirectXDriversTest, UsersShareOneLoadAndTheLastFreesIt) {
    Platform::RegisterLibrary("d3d8.dll", {kCreate8});
    ASSERT_TRUE(m_drivers.D3D8Init());
    ASSERT_TRUE(m_drivers.D3D8Init());
    EXPECT_EQ(GetLibraryLoadCount("d3d8.dll"), 1);
    EXPECT_EQ(m_drivers.GetDirect3DCreate8(), &FakeDirect3DCreate8);
    m_drivers.D3D8Done();
    EXPECT_EQ(GetLibraryLoadCount("d3d8.dll"), 1);
    m_drivers.D3D8Done();
    m_drivers.D3D8Done();  // one too many changes nothing
    EXPECT_EQ(GetLibraryLoadCount("d3d8.dll"), 0);
    EXPECT_EQ(m_drivers.GetDirect3DCreate8(), nullptr);
}

TEST_F(DirectXDriversTest, FailedLookupKeepsTheLibraryForItsOtherUsers) {
    Platform::RegisterLibrary("ddraw.dll", {kDDCreate, kDDEnumerate});
    ASSERT_TRUE(m_drivers.DDInit(false));
    EXPECT_FALSE(m_drivers.DDInit(true));
    EXPECT_EQ(GetLibraryLoadCount("ddraw.dll"), 1) << "the first user still holds it";
    EXPECT_EQ(m_drivers.GetDirectDrawCreate(), &FakeDirectDrawCreate);
    m_drivers.DDDone();
    EXPECT_EQ(GetLibraryLoadCount("ddraw.dll"), 0);
}

TEST_F(DirectXDriversTest, OneDirectSoundObjectReleasedByTheLastUser) {
    Platform::RegisterLibrary("dsound.dll", {kDSCreate});
    ASSERT_TRUE(m_drivers.DSInit());
    ASSERT_TRUE(m_drivers.DSInit());
    EXPECT_EQ(g_soundsMade, 1);
    EXPECT_TRUE(m_log.Contains("DirectSoundCreate(...) : S_OK"));
    EXPECT_NE(m_drivers.GetDirectSound(), nullptr);
    m_drivers.DSDone();
    EXPECT_FALSE(m_log.Contains("m_pDS->Release()"));
    m_drivers.DSDone();
    EXPECT_TRUE(m_log.Contains("m_pDS->Release() : 0"));
    EXPECT_EQ(m_drivers.GetDirectSound(), nullptr);
    EXPECT_EQ(GetLibraryLoadCount("dsound.dll"), 0);
}

TEST_F(DirectXDriversTest, BuiltInDirectInputLoads) {
    ASSERT_TRUE(m_drivers.DIInit());
    EXPECT_EQ(m_drivers.GetDirectInputCreateA(), &DirectInputCreateA);
    m_drivers.DIDone();
    EXPECT_EQ(GetLibraryLoadCount("dinput.dll"), 0);
    EXPECT_STREQ(DXErrorToString(DIERR_INPUTLOST), "DIERR_INPUTLOST");
    EXPECT_STREQ(DXErrorToString(HRESULT(0x8BADF00Du)), "Unknown");
}
