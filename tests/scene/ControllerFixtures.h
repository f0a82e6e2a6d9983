#pragma once
// Shared by the controller and archive tests: controllers made with keys, disposed of
// at the end of each test (a standard controller and its curve lists refer
// to each other, so only disposal frees them).

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "SceneFixtures.h"

namespace SceneTest {

using Keys = std::initializer_list<std::pair<double, float>>;

// Reading refuses: with an error holding the message, or (message null) by
// throwing the integer 1.
inline void ExpectRefused(const std::function<void()>& read, const char* message) {
    try {
        read();
        ADD_FAILURE() << "accepted";
    } catch (const Engine::CException& e) {
        ASSERT_NE(message, nullptr) << e.what();
        EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
    } catch (int code) {
        EXPECT_EQ(message, nullptr);
        EXPECT_EQ(code, 1);
    }
}

class ControllerTest : public ::testing::Test {
public:
    void SetUp() override { RegisterSceneFixtures(); }
    void TearDown() override {
        for (auto& object : m_made) object->Dispose();
        m_made.clear();
        CClassDir::GetInstance().Clear();
    }

    template <class C>
    Engine::ref_ptr<C> Make() {
        Engine::ref_ptr<C> object(new C);
        m_made.emplace_back(object);
        return object;
    }
    // A key table holding exactly these (time, value) keys.
    template <class C>
    Engine::ref_ptr<C> MakeWithKeys(Keys keys) {
        auto table = Make<C>();
        while (table->GetKeyCount() > 0) table->DeleteKey(0);
        for (const auto& [time, value] : keys) table->AppendKey(NewKey<typename C::Key>(time, value));
        return table;
    }
    template <class K>
    static K* NewKey(double time, float value) {
        auto* key = new K;
        key->time = time;
        key->value = value;
        return key;
    }
    static float Evaluate(CController& controller, double time) {
        CValue value;
        controller.GetControllerValue(time, value);
        return value.Get<float>();
    }

    std::vector<Engine::ref_ptr<CAnimatable>> m_made;
};

// Writes objects as an object record and reads them back.
class ControllerArchiveTest : public ControllerTest {
protected:
    std::vector<uint8_t> Save(CAnimatable* object) {
        CClassDir::GetInstance().Clear();
        Engine::CMemoryFile file;
        CArchive ar(&file, true);
        WriteAnimatableRef(ar, object);
        CClassDir::GetInstance().Clear();
        return file.Detach();
    }
    CAnimatable::Ref Load(const std::vector<uint8_t>& bytes) {
        CClassDir& dir = CClassDir::GetInstance();
        dir.Clear();
        Engine::CMemoryFile file(bytes.data(), bytes.size());
        CArchive ar(&file, false);
        try {
            CAnimatable::Ref object = ReadAnimatableRef(ar);
            m_made.push_back(object);
            dir.Clear();
            return object;
        } catch (...) {
            dir.DisposeAll();
            throw;
        }
    }
};

} // namespace SceneTest
