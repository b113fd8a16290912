// sessionstub: the smallest desktop session manager (XSMP), for end-to-end tests of a program's
// answers to it. It listens on local sockets and prints the SESSION_MANAGER value as its
// first line; it registers the clients that connect and prints "registered N" for each.
// Each line on standard input asks every registered client to save:
//   checkpoint  save-yourself (local and global, no shutdown, no interaction)
//   shutdown    save-yourself as at a logout, then "die" once every client answered
// and prints "saved OK/N" once the N clients answered (OK of them with success), then "died"
// after a shutdown. It ends at the end of its input.
#include <X11/ICE/ICElib.h>
#include <X11/SM/SMlib.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Client {
    SmsConn sms = nullptr;
    bool registered = false;
    bool waiting = false;
    bool success = false;
};

std::vector<Client*> clients;
std::vector<IceConn> connections;
int registeredCount = 0;

Status RegisterClient(SmsConn sms, SmPointer data, char* previousId) {
    auto* client = static_cast<Client*>(data);
    free(previousId);
    char* id = SmsGenerateClientID(sms);
    if (!id) return 0;
    SmsRegisterClientReply(sms, id);
    free(id);
    client->registered = true;
    // A new client's first save-yourself, as the protocol asks: local state only.
    SmsSaveYourself(sms, SmSaveLocal, False, SmInteractStyleNone, False);
    client->waiting = true;
    std::printf("registered %d\n", ++registeredCount);
    std::fflush(stdout);
    return 1;
}

void SaveYourselfDone(SmsConn, SmPointer data, Bool success) {
    auto* client = static_cast<Client*>(data);
    client->waiting = false;
    client->success = success;
}

void InteractRequest(SmsConn sms, SmPointer, int) { SmsInteract(sms); }
void InteractDone(SmsConn, SmPointer, Bool) {}
void SaveYourselfRequest(SmsConn, SmPointer, int, Bool, int, Bool, Bool) {}
void SaveYourselfPhase2Request(SmsConn sms, SmPointer) { SmsSaveYourselfPhase2(sms); }
void SetProperties(SmsConn, SmPointer, int count, SmProp** props) {
    for (int i = 0; i < count; ++i) SmFreeProperty(props[i]);
    free(props);
}
void DeleteProperties(SmsConn, SmPointer, int count, char** names) {
    for (int i = 0; i < count; ++i) free(names[i]);
    free(names);
}
void GetProperties(SmsConn sms, SmPointer) { SmsReturnProperties(sms, 0, nullptr); }

void Forget(IceConn ice) {
    connections.erase(std::remove(connections.begin(), connections.end(), ice), connections.end());
    IceSetShutdownNegotiation(ice, False);
    IceCloseConnection(ice);
}

void CloseConnection(SmsConn sms, SmPointer data, int count, char** reasons) {
    auto* client = static_cast<Client*>(data);
    SmFreeReasons(count, reasons);
    IceConn ice = SmsGetIceConnection(sms);
    SmsCleanUp(sms);
    clients.erase(std::remove(clients.begin(), clients.end(), client), clients.end());
    delete client;
    Forget(ice);
}

Status NewClient(SmsConn sms, SmPointer, unsigned long* mask, SmsCallbacks* cb, char**) {
    auto* client = new Client;
    client->sms = sms;
    clients.push_back(client);
    *mask = SmsRegisterClientProcMask | SmsInteractRequestProcMask | SmsInteractDoneProcMask |
            SmsSaveYourselfRequestProcMask | SmsSaveYourselfP2RequestProcMask |
            SmsSaveYourselfDoneProcMask | SmsCloseConnectionProcMask | SmsSetPropertiesProcMask |
            SmsDeletePropertiesProcMask | SmsGetPropertiesProcMask;
    cb->register_client = {RegisterClient, client};
    cb->interact_request = {InteractRequest, client};
    cb->interact_done = {InteractDone, client};
    cb->save_yourself_request = {SaveYourselfRequest, client};
    cb->save_yourself_phase2_request = {SaveYourselfPhase2Request, client};
    cb->save_yourself_done = {SaveYourselfDone, client};
    cb->close_connection = {CloseConnection, client};
    cb->set_properties = {SetProperties, client};
    cb->delete_properties = {DeleteProperties, client};
    cb->get_properties = {GetProperties, client};
    return 1;
}

bool IsLocal(const char* address) {
    return std::strncmp(address, "local/", 6) == 0 || std::strncmp(address, "unix/", 5) == 0;
}

// Only clients on this machine's local sockets are let in.
Bool LocalHostOnly(char* host) { return host && IsLocal(host); }

bool AnyWaiting() {
    return std::any_of(clients.begin(), clients.end(), [](Client* c) { return c->waiting; });
}

enum class Asked { Nothing, Checkpoint, Shutdown };

void AskToSave(Asked asked) {
    for (Client* c : clients) {
        if (!c->registered) continue;
        SmsSaveYourself(c->sms, SmSaveBoth, asked == Asked::Shutdown, SmInteractStyleNone, False);
        c->waiting = true;
    }
}

void Answered(Asked asked) {
    int ok = 0, all = 0;
    for (Client* c : clients) {
        if (!c->registered) continue;
        ++all;
        ok += c->success ? 1 : 0;
    }
    std::printf("saved %d/%d\n", ok, all);
    for (Client* c : std::vector<Client*>(clients)) {
        if (!c->registered) continue;
        if (asked == Asked::Shutdown)
            SmsDie(c->sms);
        else
            SmsSaveComplete(c->sms);
    }
    if (asked == Asked::Shutdown) std::printf("died\n");
    std::fflush(stdout);
}

// New connections on the count listeners, readable in fds from first on.
void Accept(const std::vector<pollfd>& fds, std::size_t first, int count, IceListenObj* listeners) {
    for (int i = 0; i < count; ++i) {
        if (!(fds[first + static_cast<std::size_t>(i)].revents & POLLIN)) continue;
        IceAcceptStatus status;
        if (IceConn ice = IceAcceptConnection(listeners[i], &status)) connections.push_back(ice);
    }
}

// The messages of the connections readable in fds (from first on, in the order of
// connections when fds was made).
void Serve(const std::vector<pollfd>& fds, std::size_t first) {
    const std::vector<IceConn> polled(connections.begin(),
                                      connections.begin() + (fds.size() - first));
    for (std::size_t i = 0; i < polled.size(); ++i) {
        if (!(fds[first + i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
        if (std::find(connections.begin(), connections.end(), polled[i]) == connections.end())
            continue;
        if (IceProcessMessages(polled[i], nullptr, nullptr) != IceProcessMessagesIOError) continue;
        // A client that went without closing: drop what it had.
        for (Client* c : std::vector<Client*>(clients)) {
            if (SmsGetIceConnection(c->sms) != polled[i]) continue;
            SmsCleanUp(c->sms);
            clients.erase(std::remove(clients.begin(), clients.end(), c), clients.end());
            delete c;
        }
        Forget(polled[i]);
    }
}

}  // namespace

int main() {
    char error[256] = "";
    if (!SmsInitialize("rezazo-tests", "1.0", NewClient, nullptr, LocalHostOnly, sizeof error,
                       error)) {
        std::fprintf(stderr, "sessionstub: %s\n", error);
        return 1;
    }
    int listenCount = 0;
    IceListenObj* listeners = nullptr;
    if (!IceListenForConnections(&listenCount, &listeners, sizeof error, error)) {
        std::fprintf(stderr, "sessionstub: %s\n", error);
        return 1;
    }
    for (int i = 0; i < listenCount; ++i) IceSetHostBasedAuthProc(listeners[i], LocalHostOnly);
    // Only the local sockets are offered (it listens on the network too, but lets nobody in
    // from there).
    std::string offered;
    for (int i = 0; i < listenCount; ++i) {
        char* address = IceGetListenConnectionString(listeners[i]);
        if (IsLocal(address)) offered += (offered.empty() ? "" : ",") + std::string(address);
        free(address);
    }
    std::printf("%s\n", offered.c_str());
    std::fflush(stdout);

    Asked asked = Asked::Nothing;
    std::string input;
    bool inputOpen = true;
    for (;;) {
        if (asked != Asked::Nothing && !AnyWaiting()) {
            Answered(asked);
            asked = Asked::Nothing;
        }
        // The next command once nothing is pending (a new client's first save included).
        std::size_t end;
        if (asked == Asked::Nothing && !AnyWaiting() &&
            (end = input.find('\n')) != std::string::npos) {
            const std::string command = input.substr(0, end);
            input.erase(0, end + 1);
            if (command == "checkpoint" || command == "shutdown") {
                asked = command == "shutdown" ? Asked::Shutdown : Asked::Checkpoint;
                AskToSave(asked);
            } else {
                std::fprintf(stderr, "sessionstub: unknown command \"%s\"\n", command.c_str());
            }
            continue;
        }
        if (!inputOpen && asked == Asked::Nothing && input.find('\n') == std::string::npos) break;

        std::vector<pollfd> fds;
        if (inputOpen) fds.push_back({STDIN_FILENO, POLLIN, 0});
        const std::size_t firstListener = fds.size();
        for (int i = 0; i < listenCount; ++i)
            fds.push_back({IceGetListenConnectionNumber(listeners[i]), POLLIN, 0});
        const std::size_t firstConnection = fds.size();
        for (IceConn c : connections) fds.push_back({IceConnectionNumber(c), POLLIN, 0});
        if (poll(fds.data(), fds.size(), -1) < 0) continue;

        if (inputOpen && (fds[0].revents & (POLLIN | POLLHUP))) {
            char buffer[256];
            const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
            if (n > 0)
                input.append(buffer, static_cast<std::size_t>(n));
            else
                inputOpen = false;
        }
        Accept(fds, firstListener, listenCount, listeners);
        Serve(fds, firstConnection);
    }
    IceFreeListenObjs(listenCount, listeners);
    return 0;
}
