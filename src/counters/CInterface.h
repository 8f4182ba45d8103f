#pragma once
// The statistics of one network interface as one read of the interface table reported them.
// A passive record: reads return the stored value, writes store what they are given unchanged.
// LastChange is an OLE Automation date (days since 1899-12-30); the reader never fills it.
// HardwareInterface and InterfaceAlias come from the table's extension block, where the source
// wrote one: whether a device stands behind the interface, and the name a person gave it.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace tg {

class CInterface {
 public:
    std::string InterfaceName() const { return m_InterfaceName; }
    void InterfaceName(const std::string& strNewValue) { m_InterfaceName = strNewValue; }
    void InterfaceName(std::string&& strNewValue) noexcept { m_InterfaceName = std::move(strNewValue); }
    std::int32_t InterfaceIndex() const noexcept { return m_InterfaceIndex; }
    void InterfaceIndex(const std::int32_t& lngNewValue) noexcept { m_InterfaceIndex = lngNewValue; }
    std::int32_t InterfaceType() const noexcept { return m_InterfaceType; }
    void InterfaceType(const std::int32_t& NewValue) noexcept { m_InterfaceType = NewValue; }
    std::int32_t Speed() const noexcept { return m_Speed; }
    void Speed(const std::int32_t& lngNewValue) noexcept { m_Speed = lngNewValue; }
    std::string AdapterAddress() const { return m_AdapterAddress; }
    void AdapterAddress(const std::string& strNewValue) { m_AdapterAddress = strNewValue; }
    void AdapterAddress(std::string&& strNewValue) noexcept { m_AdapterAddress = std::move(strNewValue); }
    std::int32_t AdminStatus() const noexcept { return m_AdminStatus; }
    void AdminStatus(const std::int32_t& NewValue) noexcept { m_AdminStatus = NewValue; }
    std::int32_t OperationalStatus() const noexcept { return m_OperationalStatus; }
    void OperationalStatus(const std::int32_t& NewValue) noexcept { m_OperationalStatus = NewValue; }
    double LastChange() const noexcept { return m_LastChange; }
    void LastChange(const double& datNewValue) noexcept { m_LastChange = datNewValue; }
    std::int32_t OctetsReceived() const noexcept { return m_OctetsReceived; }
    void OctetsReceived(const std::int32_t& lngNewValue) noexcept { m_OctetsReceived = lngNewValue; }
    std::int32_t UnicastPacketsReceived() const noexcept { return m_UnicastPacketsReceived; }
    void UnicastPacketsReceived(const std::int32_t& lngNewValue) noexcept { m_UnicastPacketsReceived = lngNewValue; }
    std::int32_t MaximumTransmissionUnit() const noexcept { return m_MaximumTransmissionUnit; }
    void MaximumTransmissionUnit(const std::int32_t& lngNewValue) noexcept { m_MaximumTransmissionUnit = lngNewValue; }
    std::int32_t NonunicastPacketsReceived() const noexcept { return m_NonunicastPacketsReceived; }
    void NonunicastPacketsReceived(const std::int32_t& lngNewValue) noexcept { m_NonunicastPacketsReceived = lngNewValue; }
    std::int32_t DiscardedIncomingPackets() const noexcept { return m_DiscardedIncomingPackets; }
    void DiscardedIncomingPackets(const std::int32_t& lngNewValue) noexcept { m_DiscardedIncomingPackets = lngNewValue; }
    std::int32_t IncomingErrors() const noexcept { return m_IncomingErrors; }
    void IncomingErrors(const std::int32_t& lngNewValue) noexcept { m_IncomingErrors = lngNewValue; }
    std::int32_t UnknownProtocolPackets() const noexcept { return m_UnknownProtocolPackets; }
    void UnknownProtocolPackets(const std::int32_t& lngNewValue) noexcept { m_UnknownProtocolPackets = lngNewValue; }
    std::int32_t OctetsSent() const noexcept { return m_OctetsSent; }
    void OctetsSent(const std::int32_t& lngNewValue) noexcept { m_OctetsSent = lngNewValue; }
    std::int32_t UnicastPacketsSent() const noexcept { return m_UnicastPacketsSent; }
    void UnicastPacketsSent(const std::int32_t& lngNewValue) noexcept { m_UnicastPacketsSent = lngNewValue; }
    std::int32_t NonunicastPacketsSent() const noexcept { return m_NonunicastPacketsSent; }
    void NonunicastPacketsSent(const std::int32_t& lngNewValue) noexcept { m_NonunicastPacketsSent = lngNewValue; }
    std::int32_t DiscardedOutgoingPackets() const noexcept { return m_DiscardedOutgoingPackets; }
    void DiscardedOutgoingPackets(const std::int32_t& lngNewValue) noexcept { m_DiscardedOutgoingPackets = lngNewValue; }
    std::int32_t OutgoingErrors() const noexcept { return m_OutgoingErrors; }
    void OutgoingErrors(const std::int32_t& lngNewValue) noexcept { m_OutgoingErrors = lngNewValue; }
    std::int32_t OutputQueueLength() const noexcept { return m_OutputQueueLength; }
    void OutputQueueLength(const std::int32_t& lngNewValue) noexcept { m_OutputQueueLength = lngNewValue; }
    std::string InterfaceDescription() const { return m_InterfaceDescription; }
    void InterfaceDescription(const std::string& strNewValue) { m_InterfaceDescription = strNewValue; }
    void InterfaceDescription(std::string&& strNewValue) noexcept { m_InterfaceDescription = std::move(strNewValue); }
    bool HardwareInterface() const noexcept { return m_HardwareInterface; }
    void HardwareInterface(const bool& blnNewValue) noexcept { m_HardwareInterface = blnNewValue; }
    std::string InterfaceAlias() const { return m_InterfaceAlias; }
    void InterfaceAlias(std::string&& strNewValue) noexcept { m_InterfaceAlias = std::move(strNewValue); }

 private:
    std::string m_InterfaceName{};
    std::int32_t m_InterfaceIndex{0};
    std::int32_t m_InterfaceType{0};
    std::int32_t m_Speed{0};
    std::string m_AdapterAddress{};
    std::int32_t m_AdminStatus{0};
    std::int32_t m_OperationalStatus{0};
    double m_LastChange{0.0};
    std::int32_t m_OctetsReceived{0};
    std::int32_t m_UnicastPacketsReceived{0};
    std::int32_t m_MaximumTransmissionUnit{0};
    std::int32_t m_NonunicastPacketsReceived{0};
    std::int32_t m_DiscardedIncomingPackets{0};
    std::int32_t m_IncomingErrors{0};
    std::int32_t m_UnknownProtocolPackets{0};
    std::int32_t m_OctetsSent{0};
    std::int32_t m_UnicastPacketsSent{0};
    std::int32_t m_NonunicastPacketsSent{0};
    std::int32_t m_DiscardedOutgoingPackets{0};
    std::int32_t m_OutgoingErrors{0};
    std::int32_t m_OutputQueueLength{0};
    std::string m_InterfaceDescription{};
    bool m_HardwareInterface{false};
    std::string m_InterfaceAlias{};
};

// Records are shared by reference and live while anyone holds them.
using CInterfacePtr = std::shared_ptr<CInterface>;

}  // namespace tg
