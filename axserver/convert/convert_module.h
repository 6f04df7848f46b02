#pragma once
// The conversion commands of the control channel:
//   747 start: "ssll" (source, destination, output type, notify window) or "sslllll" (the same,
//       then the WAV parameters rate, bits and channels); answers 0 with the job handle ("l"),
//       or 1 with the error text ("s") when the start failed (the job is then released).
//       Arguments that do not read answer 1 with no effect and no text.
//   748 end: "l" handle; ends and releases the job; runs even when the argument does not read
//       (handle 0, which names no job). Answers 0.
//   761 set encoder option: "lss" output type, item, value; offered to the encoder libraries
//       until one takes it. Answers 0.
// Progress reaches the client as statuses 224 (percent) and 225 (0 finished, 1 failed: the
// destination could not be written and was removed), and the notify window as 0x400 with
// lParam 604 and 605 (axserver/convert/progress.h).
//
// Main thread, like every module.
//
// Error policy of axserver/convert: nothing throws out of the module and no exception reaches a
// plug-in (decoders and encoder libraries are called from noexcept code); a conversion that
// cannot start answers its text, one that fails later raises status 225 with 1 and removes its
// destination, and nothing is ever reported finished unless every byte reached the file.
#include <memory>

#include "axserver/convert/conversion_service.h"
#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"

namespace vexa {

class ConvertModule final : public Conversions {
  public:
    ConvertModule(ServerLink& link, InputPluginHost& inputs);
    std::span<const CommandHandler> commands() const noexcept override;
    void endAll() noexcept override { service_.endAll(); }

  private:
    win::LRESULT start(CommandCall& call);
    win::LRESULT end(CommandCall& call);
    win::LRESULT setEncoderItem(CommandCall& call);

    ConversionService service_;
};

// The module table's maker: needs the input host made before it (null without one).
std::unique_ptr<ServerModule> makeConvertModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
