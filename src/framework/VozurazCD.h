#pragma once
// TdmVozuraz: the root of the framework's data modules. It holds the date style and separator
// the owner form hands down, the form's TBrokers, and the connection to the program's
// application-server object ("TAVIS52S.Class1"), through which the program parameters, the
// database kind and (in the data modules built on it) the datasets come.
//
// No window headers: the data side runs and is tested without a form. Client thread only.

#include "platform/variant/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

class TBrokers;
class TCodeConverter;

class TdmVozuraz {
public:
    // The class of the program's server object, fixed at the root.
    static constexpr std::string_view serverClassName = "TAVIS52S.Class1";
    // The application server's port when the configuration names none.
    static constexpr int defaultPort = 211;

    TdmVozuraz();
    TdmVozuraz(const TdmVozuraz&) = delete;
    TdmVozuraz& operator=(const TdmVozuraz&) = delete;
    virtual ~TdmVozuraz();

    // Reads the host configuration, reaches the server object through the process's server
    // connector and logs the program in ("Connect"); the program parameters ("SvrData") go
    // into the brokers. True when the server accepted (answered 0). Raises when the server
    // cannot be reached (the text names the address and port) or no brokers were given.
    virtual bool ConnectServer();
    // Drops the server object (the connection ends with its last reference).
    void CloseConnection();
    bool connected() const { return appServer_.isDispatch(); }
    // The server's "WhatIs" answer for item ("SQLTYPE", "SEQNO", "TODAY"); raises without a
    // connection.
    Variant WhatIs(std::string_view item);
    // Converts the dataset labels and installs the text handlers for the interface code page;
    // the root module has no datasets.
    virtual void PrepareFieldTexts(const TCodeConverter& converter);

    int DateStyle() const { return dateStyle_; }
    void setDateStyle(int style) { dateStyle_ = style; }
    const std::string& DateSeparator() const { return dateSeparator_; }
    void setDateSeparator(std::string separator) { dateSeparator_ = std::move(separator); }
    TBrokers* brokers() const { return brokers_; }
    void setBrokers(TBrokers* brokers) { brokers_ = brokers; }
    const Variant& appServer() const { return appServer_; }
    bool created() const { return created_; }

private:
    // The address and port of the server to use, from the configuration's first server.
    static std::pair<std::string, int> serverEndpoint();

    int dateStyle_ = 1;          // system parameter SYS001 as the form read it
    std::string dateSeparator_;  // system parameter SYS002
    bool created_ = true;        // set once the module is made; sent with "Connect"
    TBrokers* brokers_ = nullptr; // the owner form's, outlives the module's use of it
    Variant appServer_;          // the application-server object while connected
};

// Makes a data module: the class a form's DataModuleClass answers.
using TDataModuleClass = std::function<std::unique_ptr<TdmVozuraz>()>;

} // namespace orvane
