#include "gige/adapter_table.h"

#include <arpa/inet.h>
#include <linux/if_packet.h>
#include <net/if_arp.h>

#include <deque>

#include "support/debug_capture.h"
#include "support/unit.h"

namespace {

using namespace zelir::gige;
using zelir::test::DebugCapture;

struct FakeDevice {
    std::string name;
    const char* description;
    bool loopback;
    std::vector<std::string> ipv4;  // in listed order
    bool ethernet;
};

// Builds a device list in libpcap's form from the fakes.
class FakeDeviceList {
  public:
    explicit FakeDeviceList(const std::vector<FakeDevice>& devices) {
        devices_.resize(devices.size());
        for (size_t i = 0; i < devices.size(); ++i) {
            const FakeDevice& f = devices[i];
            pcap_if_t& d = devices_[i];
            d.name = const_cast<char*>(names_.emplace_back(f.name).c_str());
            d.description = const_cast<char*>(f.description);
            d.flags = f.loopback ? PCAP_IF_LOOPBACK : 0;
            d.next = i + 1 < devices.size() ? &devices_[i + 1] : nullptr;
            pcap_addr_t* last = nullptr;
            auto append = [&](sockaddr* addr, sockaddr* mask) {
                pcap_addr_t& a = addresses_.emplace_back(pcap_addr_t{});
                a.addr = addr;
                a.netmask = mask;
                (last ? last->next : d.addresses) = &a;
                last = &a;
            };
            if (f.ethernet) {
                sockaddr_ll& ll = links_.emplace_back(sockaddr_ll{});
                ll.sll_family = AF_PACKET;
                ll.sll_hatype = ARPHRD_ETHER;
                ll.sll_halen = 6;
                for (int b = 0; b < 6; ++b) ll.sll_addr[b] = static_cast<uint8_t>(0x10 * i + b);
                append(reinterpret_cast<sockaddr*>(&ll), nullptr);
            }
            for (const std::string& ip : f.ipv4) {
                sockaddr_in& a =
                    inets_.emplace_back(sockaddr_in{AF_INET, 0, {inet_addr(ip.c_str())}, {}});
                sockaddr_in& m =
                    inets_.emplace_back(sockaddr_in{AF_INET, 0, {inet_addr("255.255.255.0")}, {}});
                append(reinterpret_cast<sockaddr*>(&a), reinterpret_cast<sockaddr*>(&m));
            }
        }
    }
    const pcap_if_t* Head() const { return devices_.empty() ? nullptr : &devices_[0]; }

  private:
    std::deque<pcap_if_t> devices_;
    std::deque<std::string> names_;
    std::deque<pcap_addr_t> addresses_;
    std::deque<sockaddr_ll> links_;
    std::deque<sockaddr_in> inets_;
};

TEST(AdapterTable, KeepsUsableAdaptersInOrderAndReportsTheRest) {
    const FakeDeviceList list({
        {"wan0", "WAN Miniport (IP)", false, {"10.9.9.9"}, true},
        {"eth0", nullptr, false, {"198.18.0.1", "198.18.0.7"}, true},
        {"lo", "Adapter for loopback traffic capture", true, {"127.0.0.1"}, false},
        {"tun0", nullptr, false, {"198.18.3.1"}, false},
        {"eth1", "second port", false, {"198.19.0.1"}, true},
    });
    DebugCapture capture;
    ASSERT_EQ(BuildAdapterTable(list.Head()), 0);
    EXPECT_EQ(capture.Messages(),
              (std::vector<std::string>{
                  "a winpcap adapter is skipped:WAN Miniport (IP)\n",
                  "a winpcap adapter is skipped:Adapter for loopback traffic capture\n",
                  "a winpcap adapter is skipped:tun0\n",
              }));
    ASSERT_EQ(AdapterCount(), 2u);
    const auto first = GetAdapter(0);
    EXPECT_STREQ(first->name, "eth0");
    EXPECT_STREQ(first->description, "");
    EXPECT_EQ(first->address, inet_addr("198.18.0.7")) << "last IPv4 address wins";
    EXPECT_STREQ(GetAdapter(1)->name, "eth1");
    EXPECT_FALSE(GetAdapter(2));
    ReleaseAdapters();
    EXPECT_EQ(AdapterCount(), 0u);
}

TEST(AdapterTable, OnlySkippedAdaptersFail) {
    const FakeDeviceList list({{"wan0", "WAN Miniport", false, {"10.9.9.9"}, true}});
    DebugCapture capture;
    EXPECT_EQ(BuildAdapterTable(list.Head()), -1);
    EXPECT_EQ(capture.CountOf("No net adapter found! Make sure winpcap driver is installed."), 1u);
    EXPECT_EQ(AdapterCount(), 0u);
}

}  // namespace
