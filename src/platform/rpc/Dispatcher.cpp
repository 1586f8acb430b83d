#include "platform/rpc/Dispatcher.h"

#include "platform/rpc/RpcError.h"
#include "platform/rpc/VariantCodec.h"

#include <array>
#include <vector>

namespace orvane {

namespace {

// The server works in UTF-8, as the wire does.
const TextCodec utf8;

[[noreturn]] void invalidArgument(const std::string& text)
{
    throw RpcError(RpcErrorCode::InvalidArguments, text);
}

DispatchResult finish(const wire::Buffer& out, bool close)
{
    return DispatchResult{std::string(out.data(), out.size()), close};
}

// The code a failure travels with: the protocol's own, a refusal of the object, or its error.
RpcErrorCode codeOf(const std::exception& error)
{
    if (const auto* rpc = dynamic_cast<const RpcError*>(&error))
        return rpc->code();
    if (dynamic_cast<const DispatchError*>(&error))
        return RpcErrorCode::CallRejected;
    return RpcErrorCode::CallFailed;
}

DispatchResult refuseFrame(std::optional<std::uint32_t> id, const RpcError& error)
{
    wire::Buffer out;
    wire::packError(out, id, RpcErrorCode::MalformedFrame, error.what());
    return finish(out, true);
}

} // namespace

// One request being answered: its arguments, the session and the response being written.
struct Dispatcher::Call {
    Session& session;
    const wire::Request& request;
    const VariantCodec codec;
    wire::Buffer& out;
    std::optional<PendingLogin> login = {};
    std::optional<TicketRequest> ticket = {};

    std::string argumentName(std::size_t index, std::string_view name) const
    {
        return "'" + std::string(request.method) + "' argument " + std::to_string(index + 1) + " (" +
               std::string(name) + ")";
    }

    std::string text(std::size_t index, std::string_view name) const
    {
        const auto& arg = request.params[index];
        if (arg.type != msgpack::type::STR)
            invalidArgument(argumentName(index, name) + " must be a string, got " + std::string(wire::typeName(arg)));
        return std::string(arg.via.str.ptr, arg.via.str.size);
    }

    std::uint64_t handle(std::size_t index) const
    {
        const auto& arg = request.params[index];
        if (arg.type != msgpack::type::POSITIVE_INTEGER || arg.via.u64 == VariantCodec::invalidHandle)
            invalidArgument(argumentName(index, "handle") + " must be a positive integer, got " +
                            std::string(wire::typeName(arg)));
        return arg.via.u64;
    }

    DispatchPtr object(std::size_t index) const { return session.objectFor(handle(index)); }

    std::vector<Variant> variants(std::size_t index, std::string_view name) const
    {
        const auto& arg = request.params[index];
        if (arg.type != msgpack::type::ARRAY)
            invalidArgument(argumentName(index, name) + " must be an array, got " + std::string(wire::typeName(arg)));
        std::vector<Variant> values;
        values.reserve(arg.via.array.size);
        for (const auto& item : std::span(arg.via.array.ptr, arg.via.array.size))
            values.push_back(codec.decode(item));
        return values;
    }
};

const Dispatcher::Method* Dispatcher::findMethod(std::string_view name)
{
    static const std::array<Method, 8> methods{{
        {"login", 1, "credentials", &Dispatcher::login},
        {"ticket", 0, "", &Dispatcher::ticket},
        {"redeem", 2, "account, ticket", &Dispatcher::redeem},
        {"create", 1, "class name", &Dispatcher::create},
        {"invoke", 3, "handle, name, args", &Dispatcher::invoke},
        {"get", 2, "handle, name", &Dispatcher::get},
        {"put", 3, "handle, name, value", &Dispatcher::put},
        {"release", 1, "handle", &Dispatcher::release},
    }};
    for (const auto& method : methods)
        if (method.name == name)
            return &method;
    return nullptr;
}

DispatchResult Dispatcher::dispatch(Session& session, std::string_view frame) const
{
    msgpack::object_handle unpacked;
    try {
        unpacked = wire::unpackWhole(frame, limits_, "request frame");
    } catch (const RpcError& error) {
        return refuseFrame(std::nullopt, error);
    }
    return dispatch(session, unpacked.get());
}

DispatchResult Dispatcher::dispatch(Session& session, const msgpack::object& frame) const
{
    wire::Request request;
    try {
        request = wire::parseRequest(frame);
    } catch (const RpcError& error) {
        return refuseFrame(std::nullopt, error);
    }
    wire::Buffer out;
    const auto* method = findMethod(request.method);
    if (!method) {
        wire::packError(out, request.id, RpcErrorCode::UnknownMethod,
                        "unknown method '" + std::string(request.method) + "'");
        return finish(out, false);
    }
    if (request.params.size() != method->argCount) {
        wire::packError(out, request.id, RpcErrorCode::InvalidArguments,
                        "'" + std::string(method->name) + "' takes " + std::to_string(method->argCount) +
                            " arguments (" + std::string(method->argNames) + "), got " +
                            std::to_string(request.params.size()));
        return finish(out, false);
    }
    Call call{session, request, VariantCodec(session, limits_, utf8), out};
    bool close = false;
    try {
        answer(call, *method);
    } catch (const std::exception& error) {
        out.clear();
        const auto code = codeOf(error);
        // A guest past its limits is not worth answering further.
        close = code == RpcErrorCode::MalformedFrame || (code == RpcErrorCode::LimitExceeded && session.guest());
        wire::packError(out, request.id, code, error.what());
    }
    if (call.login)
        return DispatchResult{{}, false, std::move(call.login)};
    if (call.ticket)
        return DispatchResult{{}, false, {}, std::move(call.ticket)};
    return finish(out, close);
}

std::size_t Dispatcher::announceCalls(Session& session, std::string_view frame,
                                      std::span<const std::string_view> following) const
{
    if (following.empty())
        return 1;
    const VariantCodec codec(session, limits_, utf8);
    DispatchPtr object;
    std::uint64_t handle = 0;
    std::string member;
    std::vector<std::vector<Variant>> calls;
    // Adds the frame's arguments to the run; false when it does not belong to it.
    const auto add = [&](std::string_view bytes) {
        const msgpack::object_handle unpacked = wire::unpackWhole(bytes, limits_, "request frame");
        const wire::Request request = wire::parseRequest(unpacked.get());
        const auto& params = request.params;
        if (request.method != "invoke" || params.size() != 3 || params[0].type != msgpack::type::POSITIVE_INTEGER ||
            params[1].type != msgpack::type::STR || params[2].type != msgpack::type::ARRAY)
            return false;
        const std::string_view name(params[1].via.str.ptr, params[1].via.str.size);
        if (calls.empty()) {
            handle = params[0].via.u64;
            member = name;
            object = session.objectFor(handle);
            if (!object->preparesCalls(member))
                return false;
        } else if (params[0].via.u64 != handle || name != member) {
            return false;
        }
        std::vector<Variant> args;
        for (const auto& item : std::span(params[2].via.array.ptr, params[2].via.array.size))
            args.push_back(codec.decode(item));
        calls.push_back(std::move(args));
        return true;
    };
    try {
        if (!add(frame))
            return 1;
        for (const std::string_view next : following)
            if (!add(next))
                break;
    } catch (const std::exception&) {
        // A frame at fault ends the run; its dispatch answers the fault.
    }
    if (calls.size() < 2)
        return 1;
    try {
        object->prepareCalls(member, calls);
    } catch (const std::exception&) {
        // Only a preparation failed: each call still runs, and meets the fault itself.
    }
    return calls.size();
}

LoginAnswer Dispatcher::checkLogin(Session& session, const PendingLogin& login) const
{
    wire::Buffer out;
    try {
        LoginOutcome outcome = authenticate_(login.credentials);
        wire::packResultHead(out, login.id);
        VariantCodec(session, limits_, utf8).encode(out, outcome.reply);
        session.setIdentity(std::move(outcome.identity));
        return LoginAnswer{std::string(out.data(), out.size()), true, {}};
    } catch (const LoginRefused& error) {
        return LoginAnswer{refusal(login.id, RpcErrorCode::CallFailed, error.what()), false, error.what()};
    } catch (const std::exception& error) {
        // Its text may hold a statement and the database's own words: for the log, not a stranger.
        return LoginAnswer{
            refusal(login.id, RpcErrorCode::CallFailed, "the server cannot check logins now; try again in a moment"),
            false, error.what(), true};
    }
}

std::string Dispatcher::refusal(std::uint32_t id, RpcErrorCode code, std::string_view message)
{
    wire::Buffer out;
    wire::packError(out, id, code, message);
    return std::string(out.data(), out.size());
}

void Dispatcher::answer(Call& call, const Method& method) const
{
    wire::packResultHead(call.out, call.request.id);
    (this->*method.handler)(call);
    if (call.out.size() > limits_.maxFrameBytes)
        throw RpcError(RpcErrorCode::CallFailed,
                       "the answer to '" + std::string(method.name) + "' takes " + std::to_string(call.out.size()) +
                           " bytes, more than the frame limit of " + std::to_string(limits_.maxFrameBytes));
}

void Dispatcher::login(Call& call) const
{
    if (!authenticate_)
        throw RpcError(RpcErrorCode::CallRejected, "this server takes no login");
    auto credentials = call.variants(0, "credentials");
    std::string account = !credentials.empty() && credentials[0].isString() ? credentials[0].asString() : "";
    call.login = PendingLogin{call.request.id, std::move(credentials), std::move(account)};
}

void Dispatcher::ticket(Call& call) const
{
    if (!authenticate_)
        throw RpcError(RpcErrorCode::CallRejected, "this server takes no login");
    call.ticket = TicketRequest{call.request.id, true, {}, {}};
}

void Dispatcher::redeem(Call& call) const
{
    if (!authenticate_)
        throw RpcError(RpcErrorCode::CallRejected, "this server takes no login");
    call.ticket = TicketRequest{call.request.id, false, call.text(0, "account"), call.text(1, "ticket")};
}

void Dispatcher::create(Call& call) const
{
    const auto className = call.text(0, "class name");
    if (!registry_.isRegistered(className))
        throw RpcError(RpcErrorCode::UnknownClass, "unknown class '" + className + "'");
    const auto object = registry_.create(className);
    if (!object)
        throw RpcError(RpcErrorCode::CallFailed, "class '" + className + "' created no object");
    if (auto* bound = dynamic_cast<SessionBound*>(object.get()))
        bound->bindSession(call.session.identity().value_or(Variant()));
    wire::Packer(call.out).pack_uint64(call.session.handleFor(object));
}

void Dispatcher::invoke(Call& call) const
{
    const auto object = call.object(0);
    const auto name = call.text(1, "name");
    auto args = call.variants(2, "args");
    const auto result = object->invoke(name, args);
    wire::Packer packer(call.out);
    packer.pack_array(2);
    call.codec.encode(call.out, result);
    packer.pack_array(static_cast<std::uint32_t>(args.size()));
    for (const auto& arg : args)
        call.codec.encode(call.out, arg);
}

void Dispatcher::get(Call& call) const
{
    const auto object = call.object(0);
    call.codec.encode(call.out, object->get(call.text(1, "name")));
}

void Dispatcher::put(Call& call) const
{
    const auto object = call.object(0);
    const auto name = call.text(1, "name");
    object->put(name, call.codec.decode(call.request.params[2]));
    wire::Packer(call.out).pack_nil();
}

void Dispatcher::release(Call& call) const
{
    const auto handle = call.handle(0);
    if (!call.session.release(handle))
        throw RpcError(RpcErrorCode::UnknownHandle, "unknown object handle " + std::to_string(handle));
    wire::Packer(call.out).pack_nil();
}

} // namespace orvane
