#pragma once
// Providers across late-bound dispatch. DispatchProvider is the client's end: it calls a
// server object's "AS_GetRecords" and "AS_ApplyUpdates" with packets encoded as
// variants. ProviderHost is the server's end: an automation object that answers those two
// methods for the providers registered with it by name. The call shapes:
//
//   AS_GetRecords(providerName: String, count: Integer, params: Variant, reset: Boolean)
//       -> data packet (DataPacket::toVariant)
//   AS_ApplyUpdates(providerName: String, delta: Variant (Delta::toVariant),
//                   maxErrors: Integer, errorCount: Integer by reference[, requestId: String])
//       -> apply result (ApplyResult::toVariant); errorCount receives its error count;
//       requestId (optional, "" none) identifies a save the client may send again

#include "platform/data/Provider.h"
#include "platform/variant/Dispatch.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace orvane {

class DispatchProvider : public Provider {
public:
    DispatchProvider(DispatchPtr server, std::string providerName);

    DataPacket getRecords(int count, const Variant& params, bool reset) override;
    ApplyResult applyUpdates(const Delta& delta, int maxErrors) override;
    ApplyResult applyUpdates(const Delta& delta, int maxErrors, const std::string& requestId) override;

    // The call getRecords makes, for sending it in a batch with others.
    Invocation getRecordsCall(int count, const Variant& params, bool reset) const;

protected:
    const DispatchPtr& server() const { return server_; }

private:
    DispatchPtr server_;
    std::string providerName_;
};

// Thread-safe: providers are looked up under a lock; each provider guards itself.
class ProviderHost : public AutomationObject {
public:
    explicit ProviderHost(std::string className);

    void addProvider(std::string name, std::shared_ptr<Provider> provider);

private:
    Provider& provider(const Variant& name) const;

    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<Provider>, CaseInsensitiveLess> providers_;
};

} // namespace orvane
