#pragma once
// Place files written into a scratch folder with the scenes' pictures and
// read from there through a local manager of the recording driver, the
// generated scene classes registered and enabled.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/File.h"
#include "app/Registration.h"
#include "placefile/PlaceFileManager.h"
#include "scenes/SceneRegistration.h"
#include "support/RecordingGraphics.h"
#include "tools/ScenePictures.h"

namespace BenchPlaces {

class CScenePlaceFolder {
public:
    explicit CScenePlaceFolder(const std::string& name) : m_folder(std::filesystem::temp_directory_path() / name) {
        static const Engine::CStartupRegistration s_startup{Engine::Scenes::GetStartupHooks()};
        Engine::Graphics::PlaceFile::g_bUseGeneratedSceneClasses = true;
        Write("spr/scenes.spr", Tools::WriteSceneSprites());
        Engine::CFile::SetDiskRoot(CString(m_folder.string()));
        Engine::Graphics::PlaceFile::InstallPlaceFileManagerFactory();
        m_graphics = std::make_unique<Engine::Graphics::Testing::CRecordingGraphics>();
        m_local = new Engine::Graphics::PlaceFile::CPlaceFileLocalManager(m_graphics.get());
    }
    ~CScenePlaceFolder() {
        m_local = nullptr;
        m_graphics.reset();
        Engine::CFile::SetDiskRoot("");
        std::filesystem::remove_all(m_folder);
    }
    CScenePlaceFolder(const CScenePlaceFolder&) = delete;
    CScenePlaceFolder& operator=(const CScenePlaceFolder&) = delete;

    void Write(const std::string& path, const std::vector<uint8_t>& bytes) const {
        const std::filesystem::path file = m_folder / path;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::string Path(const std::string& path) const { return (m_folder / path).string(); }
    Engine::Graphics::PlaceFile::CPlaceFileLocalManager& Local() { return *m_local; }
    Engine::Graphics::Testing::CRecordingGraphics& Graphics() { return *m_graphics; }

private:
    std::filesystem::path m_folder;
    std::unique_ptr<Engine::Graphics::Testing::CRecordingGraphics> m_graphics;
    Engine::ref_ptr<Engine::Graphics::PlaceFile::CPlaceFileLocalManager> m_local;
};

} // namespace BenchPlaces
