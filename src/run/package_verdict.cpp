#include "run/package_verdict.h"

namespace brindle {

PackageVerdict judgeOwnPackage(PackageRead read, const std::vector<ExtractResult>& results) {
    if (read == PackageRead::NothingAppended) return PackageVerdict::Sound;
    if (read != PackageRead::Read) return PackageVerdict::Damaged;
    PackageVerdict verdict = PackageVerdict::Sound;
    for (const ExtractResult& result : results) {
        switch (result.outcome) {
            case ExtractOutcome::Written:
            case ExtractOutcome::TimesFailed:  // the work folder's files need no times
            case ExtractOutcome::FolderMade:
            case ExtractOutcome::Kept: break;
            // What the builder never writes, or what no longer is what it wrote.
            case ExtractOutcome::UnsafeName:
            case ExtractOutcome::Damaged:
            case ExtractOutcome::Truncated:
            case ExtractOutcome::UnknownKind: return PackageVerdict::Damaged;
            default: verdict = PackageVerdict::NotWritten; break;
        }
    }
    return verdict;
}

}  // namespace brindle
