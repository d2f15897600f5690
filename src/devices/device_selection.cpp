#include "devices/device_selection.h"

#include "app/core.h"

namespace zambrix {

// Filled in with the device catalogue.
void DeviceSelection::FillDeviceTable() {}
void DeviceSelection::FillDeviceList() {}
void DeviceSelection::Device_Click() {}
void DeviceSelection::ResetDeviceControls() {}
void DeviceSelection::Voltage_button_Click(int) {}

}  // namespace zambrix
