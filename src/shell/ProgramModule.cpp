#include "shell/ProgramModule.h"

#include "platform/text/ByteText.h"
#include "shell/LaunchCode.h"

#include <dlfcn.h>

namespace orvane {

namespace {

constexpr const char* exportName = "GetController";

std::string loaderError()
{
    const char* reason = dlerror();
    return reason ? reason : "unknown reason";
}

} // namespace

std::string ProgramModule::fileName(std::string_view programId)
{
    return text::lowerCase(programId, text::CodePage::Utf8) + "c.so";
}

std::optional<std::filesystem::path> ProgramModule::find(std::string_view programId,
                                                         const std::vector<std::string>& folders)
{
    // An identifier is a plain name: nothing that could reach outside the work folders.
    if (programId.empty() || programId.find('/') != std::string_view::npos ||
        programId.find("..") != std::string_view::npos || programId.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::string name = fileName(programId);
    for (const std::string& folder : folders) {
        if (folder.empty())
            continue;
        std::filesystem::path candidate = std::filesystem::path(folder) / name;
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error))
            return candidate;
    }
    return std::nullopt;
}

std::shared_ptr<ProgramModule> ProgramModule::load(const std::filesystem::path& file)
{
    dlerror();
    // RTLD_NODELETE: Qt keeps texts a module hands it (fonts, type names, string literals of the
    // module's read-only data) in process-wide caches beyond the module's last object, so the
    // module's code and data stay mapped after dlclose; a later load finds it again.
    void* handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle)
        throw LaunchError(LaunchCode::LoadFailed, "cannot load " + file.string() + ": " + loaderError());
    dlerror();
    void* symbol = dlsym(handle, exportName);
    if (!symbol) {
        std::string reason = loaderError();
        dlclose(handle);
        throw LaunchError(LaunchCode::LoadFailed, file.string() + " has no " + exportName + ": " + reason);
    }
    auto getController = reinterpret_cast<GetControllerFunction>(symbol);
    return std::shared_ptr<ProgramModule>(new ProgramModule(file, handle, getController));
}

ProgramModule::ProgramModule(std::filesystem::path file, void* handle, GetControllerFunction getController)
    : file_(std::move(file)), handle_(handle), getController_(getController)
{}

ProgramModule::~ProgramModule()
{
    dlclose(handle_);
}

std::unique_ptr<TDLLBaseController> ProgramModule::newController() const
{
    TDLLBaseController* controller = nullptr;
    try {
        controller = getController_();
    } catch (const std::exception& e) {
        throw LaunchError(LaunchCode::LoadFailed, file_.string() + ": " + exportName + " failed: " + e.what());
    }
    if (!controller)
        throw LaunchError(LaunchCode::LoadFailed, file_.string() + ": " + exportName + " gave no controller");
    return std::unique_ptr<TDLLBaseController>(controller);
}

} // namespace orvane
