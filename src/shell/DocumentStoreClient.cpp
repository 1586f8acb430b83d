#include "shell/DocumentStoreClient.h"

#include "platform/config/ConfigError.h"
#include "platform/config/FileAccess.h"
#include "platform/text/Base64.h"
#include "platform/text/ByteText.h"
#include "services/LibSys.h"


namespace orvane {

namespace {

constexpr std::string_view logSource = "DmsC";

constexpr int documentMissing = -1;
constexpr int notWritten = -2;
constexpr int modeNotSupported = -3;
constexpr int checkInNotSupported = -1;

// A name for a file in the document folder: no folder part, not "." or "..".
bool plainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

std::string textOrEmpty(const Variant& value)
{
    return value.isString() ? value.asString() : std::string();
}

} // namespace

DocumentStoreClient::DocumentStoreClient(DispatchPtr services, std::filesystem::path folder, text::CodePage codePage)
    : AutomationObject(classId), services_(std::move(services)), folder_(std::move(folder)), codePage_(codePage)
{
    method("CheckOut", 1, 5, [this](std::span<Variant> args) { return checkOut(args); });
    method("CheckIn", 2, [this](std::span<Variant> args) {
        return Variant(refuse(checkInNotSupported,
                              "CheckIn of '" + textOrEmpty(args[0]) + "': documents are not stored from the client"));
    });
}

Variant DocumentStoreClient::checkOut(std::span<Variant> args)
{
    if (args.size() == 3 || args.size() == 4)
        throw DispatchError("DmsC.DMSClass1.CheckOut takes (reference), (file name, reference) or (user, mode, "
                            "file name, reference, \"\"), not " +
                            std::to_string(args.size()) + " arguments");
    if (args.size() == 5 && !text::equalsIgnoringAsciiCase(textOrEmpty(args[1]), "R"))
        return Variant(refuse(modeNotSupported, "CheckOut mode '" + textOrEmpty(args[1]) + "': only R (read)"));
    Variant& nameArgument = args.size() == 5 ? args[2] : args[0];
    const std::string reference = textOrEmpty(args.size() == 5 ? args[3] : args.back());
    const std::string name = args.size() == 1 ? std::string() : textOrEmpty(nameArgument);

    std::filesystem::path written;
    const int code = fetchInto(reference, name, written);
    if (code == 0)
        nameArgument = local(written);
    return Variant(code);
}

int DocumentStoreClient::fetchInto(const std::string& reference, const std::string& name,
                                   std::filesystem::path& written)
{
    if (reference.empty())
        return refuse(documentMissing, "CheckOut without a document reference");
    const std::string about = "CheckOut of '" + reference + "': ";
    const Variant answer = services_->call("GetDocument", {reference});
    if (!answer.isArray() || answer.array().size() != 4)
        return refuse(documentMissing, about + "the server's answer has another shape");
    const auto parts = answer.array().elements();
    if (parts[0].toInteger() != 0)
        return refuse(documentMissing, about + parts[1].toString());
    const auto content = text::fromBase64(parts[3].toString());
    if (!content)
        return refuse(documentMissing, about + "the server's content is not base64");

    const std::string fileName = name.empty() ? parts[2].toString() : name;
    const std::string onDisk = text::toUtf8(fileName, codePage_);
    if (!plainName(onDisk))
        return refuse(notWritten, about + "'" + fileName +
                                      "' is not a plain file name; documents are written only into " + local(folder_));
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const std::filesystem::path file = folder_ / onDisk;
    // Replaced whole: another shell on this folder never reads half a document, and a write that
    // fails (the disk full) leaves the copy checked out before.
    try {
        replaceFileAtomically(file, *content);
    } catch (const ConfigError& e) {
        return refuse(notWritten, about + e.what());
    }
    written = file;
    return 0;
}

int DocumentStoreClient::refuse(int code, const std::string& reason) const
{
    WriteLog(logSource, reason + " (answer " + std::to_string(code) + ")", "D");
    return code;
}

std::string DocumentStoreClient::local(const std::filesystem::path& path) const
{
    return text::fromUtf8(path.string(), codePage_);
}

std::filesystem::path documentFolder(const std::filesystem::path& clientPath)
{
    return clientPath / "Temp" / "DMS";
}

void registerDocumentStoreClient(AutomationRegistry& registry, DispatchPtr services, std::filesystem::path folder,
                                 text::CodePage codePage)
{
    registry.registerClass(DocumentStoreClient::classId, [services, folder, codePage] {
        return std::make_shared<DocumentStoreClient>(services, folder, codePage);
    });
}

} // namespace orvane
