// The camera on zc0, opened through the public interface for the command tests, with access to
// its stream for the transfer routines that no export reaches.
#pragma once

#include <zelir/zelir.h>

#include "api/handle_table.h"
#include "gige/block_transfer.h"
#include "gige/gnet_device.h"

namespace zelir::test {

class CommandCamera {
  public:
    CommandCamera() : handle_(ZelIr_OpenDevice(L"gige://198.18.0.2", nullptr)) {}
    ~CommandCamera() {
        if (handle_ != nullptr) ZelIr_Close(handle_);
    }
    CommandCamera(const CommandCamera&) = delete;
    CommandCamera& operator=(const CommandCamera&) = delete;

    ZelIrHandle handle() const { return handle_; }
    CGNetDevice& camera() const { return *TableCheck(handle_)->Camera(); }
    gige::ControlTarget Target() const { return {camera().Channel(), camera().Endpoint()}; }

  private:
    ZelIrHandle handle_;
};

}  // namespace zelir::test
