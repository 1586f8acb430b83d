#pragma once
// A program module on disk and in memory: where the module of a program lies among the
// configuration's work-module folders, and the loaded library with its GetController export.
//
// Client thread only.

#include "module/DLLBaseCtrller.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class ProgramModule {
public:
    // The file name of a program's module: the identifier in lower case followed by "c.so"
    // ("TAVI52" -> "tavi52c.so").
    static std::string fileName(std::string_view programId);
    // The module of programId in the first of folders that holds it as a regular file; nothing
    // when none does or the identifier cannot name a file (empty, or holding "/" or "..").
    static std::optional<std::filesystem::path> find(std::string_view programId,
                                                     const std::vector<std::string>& folders);

    // Loads the module (every symbol resolved now, none shared with later modules, never
    // unmapped) and finds its export; raises LaunchError (LoadFailed) with the loader's reason.
    static std::shared_ptr<ProgramModule> load(const std::filesystem::path& file);

    ProgramModule(const ProgramModule&) = delete;
    ProgramModule& operator=(const ProgramModule&) = delete;
    // Releases the library (its code stays mapped, see load): every controller it gave must be gone.
    ~ProgramModule();

    // A new controller, owned by the caller; raises LaunchError (LoadFailed) when the export
    // fails or answers none.
    std::unique_ptr<TDLLBaseController> newController() const;

private:
    ProgramModule(std::filesystem::path file, void* handle, GetControllerFunction getController);

    std::filesystem::path file_;
    void* handle_; // dlopen handle
    GetControllerFunction getController_;
};

} // namespace orvane
