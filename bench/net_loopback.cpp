// Text messages on 127.0.0.1.
//
// Throughput: eight joined peers and a host; every round each peer sends a
// text to the next peer's player (through the host), then every peer reads
// what has arrived. Beside it, the baseline: a raw UDP relay of the same
// payloads over the same platform layer (eight sockets sending to one relay
// socket, which forwards each datagram to the next socket), no session
// layer, no ENet protocol. Reports messages delivered per second and the
// share lost at that load.
//
// Latency: one message from the host's player to a joined peer's player,
// taken from the host's send until the peer's NETGETMSG$ returns it, the
// peer polling without pause. "Idle": nothing else runs in the process;
// "busy": two threads compute without pause beside it (as a program that
// draws and searches paths), competing with the service threads for the
// two cores. Reports p50 and p99 in microseconds.
//
// Run with repetitions and random interleaving, so the session and its
// baseline share the machine's conditions, e.g.
//   bench_net_loopback --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/tz_network.h"
#include "platform/platform.h"

namespace {

constexpr int kPeers = 8;
const std::string kText = "Position 123.5 456.25 Richtung 90";

TZCONNECTION_INFO Info(const char* name, bool host)
{
    TZCONNECTION_INFO info{};
    info.connectionType = kTzConnectTcpIp;
    std::strcpy(info.sessionName, name);
    std::strcpy(info.address, "127.0.0.1");
    info.hostFlag = host ? 1 : 0;
    return info;
}

void UseFreshPort()
{
    std::random_device device;
    setenv("KV_NET_PORT", std::to_string(20000 + device() % 40000).c_str(), 1);
}

// A host and joined peers, one player each.
struct Session {
    TzNetwork host;
    std::uint32_t hostPlayer = 0;
    std::vector<std::unique_ptr<TzNetwork>> peers;
    std::vector<std::uint32_t> players;

    bool Open(int peerCount)
    {
        UseFreshPort();
        if (host.Init(Info("Bench", true)) != tznet::kOk || host.CreatePlayer("host", &hostPlayer) != tznet::kOk)
            return false;
        // The host's service thread answers the joins.
        for (int i = 0; i < peerCount; ++i) {
            auto peer = std::make_unique<TzNetwork>();
            std::uint32_t id = 0;
            if (peer->Init(Info("Bench", false)) != tznet::kOk ||
                peer->CreatePlayer(("peer " + std::to_string(i)).c_str(), &id) != tznet::kOk)
                return false;
            peers.push_back(std::move(peer));
            players.push_back(id);
        }
        return true;
    }
};

void BM_SessionRelay(benchmark::State& state)
{
    Session session;
    if (!session.Open(kPeers)) {
        state.SkipWithError("cannot open a session on 127.0.0.1");
        return;
    }
    char buffer[1024];
    std::int64_t sent = 0, delivered = 0;
    auto drain = [&] {
        for (int i = 0; i < kPeers; ++i)
            for (;;) {
                session.peers[i]->ReceiveMsg(session.players[i], buffer, sizeof buffer);
                if (buffer[0] == 0) break;
                ++delivered;
            }
    };
    for (auto _ : state) {
        for (int i = 0; i < kPeers; ++i)
            if (session.peers[i]->SendMsg(session.players[i], session.players[(i + 1) % kPeers], kText.c_str(), false))
                ++sent;
        drain();
    }
    // Let what is still in flight arrive before counting the losses.
    for (int round = 0; round < 50; ++round) {
        drain();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    state.counters["delivered/s"] = benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
    state.counters["loss"] = sent > 0 ? 1.0 - static_cast<double>(delivered) / static_cast<double>(sent) : 0;
    state.SetItemsProcessed(delivered);
}

// The same payloads through a bare UDP relay.
void BM_RawUdpRelay(benchmark::State& state)
{
    if (!platform::NetStartup()) {
        state.SkipWithError("no network library");
        return;
    }
    const std::string prefix = "R";  // every datagram is handed over raw
    platform::NetAddress loopback;
    platform::NetResolve("127.0.0.1", 0, &loopback);
    auto openAt = [&](std::uint16_t port) {
        platform::NetAddress at = loopback;
        at.port = port;
        return platform::NetOpen(&at, 1, 4096, prefix, 4096);
    };
    std::random_device device;
    const auto basePort = static_cast<std::uint16_t>(20000 + device() % 40000);
    platform::NetEndpoint* relay = openAt(basePort);
    std::vector<platform::NetEndpoint*> peers;
    for (int i = 0; i < kPeers; ++i) peers.push_back(openAt(static_cast<std::uint16_t>(basePort + 1 + i)));
    if (relay == nullptr || std::count(peers.begin(), peers.end(), nullptr) > 0) {
        state.SkipWithError("cannot open the relay's sockets");
        return;
    }
    platform::NetAddress relayAddress = loopback;
    relayAddress.port = basePort;
    // The payload names its receiver, as a session's text packet does.
    std::vector<std::string> payloads;
    for (int i = 0; i < kPeers; ++i) payloads.push_back(prefix + char('0' + (i + 1) % kPeers) + kText);

    std::int64_t sent = 0, delivered = 0;
    platform::NetEvent event;
    auto relayAndDrain = [&] {
        while (platform::NetPoll(relay, &event, 0)) {
            platform::NetAddress to = loopback;
            to.port = static_cast<std::uint16_t>(basePort + 1 + (event.data[1] - '0'));
            platform::NetSendRaw(relay, to, event.data.data(), event.data.size(), false);
        }
        for (int i = 0; i < kPeers; ++i)
            while (platform::NetPoll(peers[i], &event, 0)) ++delivered;
    };
    for (auto _ : state) {
        for (int i = 0; i < kPeers; ++i)
            if (platform::NetSendRaw(peers[i], relayAddress, payloads[i].data(), payloads[i].size(), false)) ++sent;
        relayAndDrain();
    }
    for (int round = 0; round < 50; ++round) {
        relayAndDrain();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    state.counters["delivered/s"] = benchmark::Counter(static_cast<double>(delivered), benchmark::Counter::kIsRate);
    state.counters["loss"] = sent > 0 ? 1.0 - static_cast<double>(delivered) / static_cast<double>(sent) : 0;
    state.SetItemsProcessed(delivered);
    for (platform::NetEndpoint* peer : peers) platform::NetClose(peer, 0);
    platform::NetClose(relay, 0);
    platform::NetShutdown();
}

// Host -> peer latency; state.range(0): 0 idle, 1 busy.
void BM_HostToPeerLatency(benchmark::State& state)
{
    Session session;
    if (!session.Open(1)) {
        state.SkipWithError("cannot open a session on 127.0.0.1");
        return;
    }
    std::atomic<bool> stop{false};
    std::vector<std::thread> busy;
    if (state.range(0) != 0)
        for (int i = 0; i < 2; ++i)
            busy.emplace_back([&] {
                volatile double x = 1;
                while (!stop.load(std::memory_order_relaxed)) x = x * 1.0000001 + 1e-9;
            });

    TzNetwork& peer = *session.peers[0];
    const std::uint32_t to = session.players[0];
    char buffer[1024];
    std::vector<double> micros;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        session.host.SendMsg(session.hostPlayer, to, kText.c_str(), false);
        const auto giveUp = start + std::chrono::milliseconds(200);  // lost: not counted
        for (;;) {
            peer.ReceiveMsg(to, buffer, sizeof buffer);
            const auto now = std::chrono::steady_clock::now();
            if (buffer[0] != 0) {
                micros.push_back(std::chrono::duration<double, std::micro>(now - start).count());
                break;
            }
            if (now > giveUp) break;
        }
    }
    stop = true;
    for (std::thread& thread : busy) thread.join();
    std::sort(micros.begin(), micros.end());
    if (!micros.empty()) {
        state.counters["p50_us"] = micros[micros.size() / 2];
        state.counters["p99_us"] = micros[std::min(micros.size() - 1, micros.size() * 99 / 100)];
    }
    state.counters["lost"] = static_cast<double>(state.iterations()) - static_cast<double>(micros.size());
}

}  // namespace

BENCHMARK(BM_SessionRelay)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime()
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
BENCHMARK(BM_RawUdpRelay)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime()
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
BENCHMARK(BM_HostToPeerLatency)->Arg(0)->Arg(1)->ArgName("busy")->Unit(benchmark::kMicrosecond)
    ->MinTime(1.0)->UseRealTime()
    ->ComputeStatistics("min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
