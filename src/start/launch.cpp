#include "start/launch.h"

#include "format/plaintext.h"
#include "io/workfolder.h"

namespace qor
{

Launch launch(const StartRequest &request, const StartReport &report)
{
    // Options and folder names come from outside: said as plain text.
    Launch start;
    if (request.action != StartRequest::Action::ShowWindow) {
        const bool printed = request.action == StartRequest::Action::Print;
        report(plainLines(request.text), !printed);
        start.exitStatus = printed ? 0 : usageStatus;
        return start;
    }
    if (request.hasFolder) {
        if (const std::string reason = enterFolder(request.folder); !reason.empty()) {
            report(plainLines(refusal(request.folder + ": " + reason)), true);
            start.exitStatus = usageStatus;
            return start;
        }
    }
    start.startValues = request.startValues;
    start.namedFolder = request.hasFolder;
    return start;
}

} // namespace qor
