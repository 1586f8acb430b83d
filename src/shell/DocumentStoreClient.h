#pragma once
// "DmsC.DMSClass1": the document store's client, created by name by a program module. It
// checks a document out of the server's store into a local file under the client
// installation's document folder (<client path>/Temp/DMS):
//
//   CheckOut(user, mode, file name&, reference, "")   mode "R" (read) only; user not used:
//   CheckOut(file name&, reference)                   the session's user is the server's
//   CheckOut(reference&)
//
// The file takes the caller's name, or the stored file name when the caller gives none; a
// name is a plain name, never a path ("/", "\" and ".." are refused), so nothing is written
// outside the folder, which is made when missing. The full path of the file written is put
// into the file-name argument (the reference, in the one-argument form). Answers 0, or:
//   -1 the store holds no such document (or will not hand it out),
//   -2 the file cannot be written (a name that is a path, a folder or file that cannot be made),
//   -3 a mode other than "R".
// "CheckIn"(file name, reference) answers -1: documents are not stored from the client.
// Each negative answer writes its reason to the alert log "DmsC" (services/LibSys).
//
// The content travels as base64 ("GetDocument" of "OrvaneS.Services"), so the road's text
// conversion leaves every byte as it is. Names are texts of the client's data code page.
// Client thread only.

#include "platform/text/CodePage.h"
#include "platform/variant/Dispatch.h"

#include <filesystem>

namespace orvane {

class DocumentStoreClient : public AutomationObject {
public:
    static constexpr const char* classId = "DmsC.DMSClass1";

    // services: "OrvaneS.Services" on the shell's session; folder: where documents are written.
    DocumentStoreClient(DispatchPtr services, std::filesystem::path folder, text::CodePage codePage);

private:
    Variant checkOut(std::span<Variant> args);
    // Fetches reference and writes it as name (the stored name when empty); answers the code
    // and, on 0, the path written.
    int fetchInto(const std::string& reference, const std::string& name, std::filesystem::path& written);
    // Writes the reason (client text) to the alert log and answers code.
    int refuse(int code, const std::string& reason) const;
    // A path as client text.
    std::string local(const std::filesystem::path& path) const;

    DispatchPtr services_;
    std::filesystem::path folder_;
    text::CodePage codePage_;
};

// The document folder of a client installation: <client path>/Temp/DMS.
std::filesystem::path documentFolder(const std::filesystem::path& clientPath);

// Makes "DmsC.DMSClass1" creatable by name; every object shares services.
void registerDocumentStoreClient(AutomationRegistry& registry, DispatchPtr services, std::filesystem::path folder,
                                 text::CodePage codePage);

} // namespace orvane
