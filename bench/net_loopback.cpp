// Eight joined peers and a host on 127.0.0.1: every round each peer sends a
// text to the next peer's player (through the host), then every peer reads
// what has arrived. Reports messages delivered per second and the share
// lost at that load.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/tz_network.h"

namespace {

constexpr int kPeers = 8;

TZCONNECTION_INFO Info(const char* name, bool host)
{
    TZCONNECTION_INFO info{};
    info.connectionType = kTzConnectTcpIp;
    std::strcpy(info.sessionName, name);
    std::strcpy(info.address, "127.0.0.1");
    info.hostFlag = host ? 1 : 0;
    return info;
}

void BM_LoopbackTextMessages(benchmark::State& state)
{
    std::random_device device;
    setenv("KV_NET_PORT", std::to_string(20000 + device() % 40000).c_str(), 1);

    TzNetwork host;
    if (host.Init(Info("Bench", true)) != tznet::kOk) {
        state.SkipWithError("cannot host on 127.0.0.1");
        return;
    }
    // The host answers on a thread of its own while the peers join (a join
    // waits for the host), then everything runs on this thread.
    std::vector<std::unique_ptr<TzNetwork>> peers;
    std::vector<std::uint32_t> players;
    {
        std::atomic<bool> joined{false};
        std::thread service([&] {
            while (!joined) {
                host.Service();
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
        for (int i = 0; i < kPeers; ++i) {
            auto peer = std::make_unique<TzNetwork>();
            std::uint32_t id = 0;
            if (peer->Init(Info("Bench", false)) != tznet::kOk ||
                peer->CreatePlayer(("peer " + std::to_string(i)).c_str(), &id) != tznet::kOk)
                break;
            peers.push_back(std::move(peer));
            players.push_back(id);
        }
        joined = true;
        service.join();
    }
    if (peers.size() != kPeers) {
        state.SkipWithError("a peer could not join");
        return;
    }

    const std::string text = "Position 123.5 456.25 Richtung 90";
    char buffer[1024];
    std::int64_t sent = 0, delivered = 0;
    auto drain = [&] {
        host.Service();
        for (int i = 0; i < kPeers; ++i)
            for (;;) {
                peers[i]->ReceiveMsg(players[i], buffer, sizeof buffer);
                if (buffer[0] == 0) break;
                ++delivered;
            }
    };
    for (auto _ : state) {
        for (int i = 0; i < kPeers; ++i)
            if (peers[i]->SendMsg(players[i], players[(i + 1) % kPeers], text.c_str(), false)) ++sent;
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

}  // namespace

BENCHMARK(BM_LoopbackTextMessages)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();
