#include "duplicate_copy.hpp"

#include <cmath>

#include "model_check.hpp"
#include "model_copy.hpp"
#include "model_repair.hpp"
#include "text_reader.hpp"

namespace scene {

namespace {

// Magnitudes up to this, turned and moved by amounts up to it, stay far inside the double
// range: no placed coordinate can overflow.
constexpr double kSafeMagnitude = 1e300;

// Whether the model, opened in another state than the one checked, would be copied as it is:
// it passes the check and asks for no repair.
bool CopyableAsItIs(platform::ReadableFile& model) {
    const ModelCheck check = CheckModel(model);
    const bool copyable = IsCopyable(check) && !RepairWanted(model);
    model.Rewind();
    return copyable;
}

void WriteOrCount(RunFiles& files, platform::ReadableFile& model, PointCensus& census,
                  const CopyOrder& order, PreparedCopy& copy) {
    if (!copy.Copy->KeepsContent()) {
        const int failed = census.FailedLines(model, *order.Place);
        for (int i = 0; i < failed; ++i)
            copy.Failures.Add(Failure(FailureKind::TypeMismatch, model.Path()));
        return;
    }
    TextFileReader in(model);
    WriteCopy(in, *copy.Copy, *order.Place, order.Tag, copy.Failures,
              order.TwoThreads ? &files.System() : nullptr);
}

}  // namespace

int PointCensus::FailedLines(platform::ReadableFile& model, const Placement& placement) {
    const platform::ContentStamp stamp = model.Stamp();
    const std::string key =
        model.Path() + '\0' + std::to_string(stamp.Size) + ':' + std::to_string(stamp.Modified);
    Count count;
    bool known;
    {
        std::lock_guard lock(mutex_);
        auto at = counts_.find(key);
        known = at != counts_.end();
        if (known) count = at->second;
    }
    if (!known) {
        TextFileReader in(model);
        ReadModelPoints(in, [&](const Point3& p, bool read) {
            count.Unread += read ? 0 : 1;
            for (double v : p.V) count.Largest = std::max(count.Largest, std::fabs(v));
        });
        model.Rewind();
        std::lock_guard lock(mutex_);
        counts_.emplace(key, count);
    }
    const bool safe = count.Largest <= kSafeMagnitude && std::fabs(placement.X) <= kSafeMagnitude &&
                      std::fabs(placement.Y) <= kSafeMagnitude &&
                      std::fabs(placement.Z) <= kSafeMagnitude;
    if (safe) return count.Unread;
    // A placed point may leave the double range: counted as the copy counts it.
    int failed = 0;
    const PlacementTurn turn(placement);
    TextFileReader in(model);
    ReadModelPoints(in, [&](const Point3& p, bool read) {
        Point3 placed = PlacePoint(turn, p);
        failed += KeepInRange(placed) && read ? 0 : 1;
    });
    model.Rewind();
    return failed;
}

PreparedCopy PrepareCopy(RunFiles& files, PointCensus& census, CopyOrder order) {
    PreparedCopy copy;
    copy.Failures = std::move(order.Failures);
    copy.Order = std::move(order);
    const CopyOrder& o = copy.Order;
    std::unique_ptr<platform::ReadableFile> model;
    try {
        model = files.OpenForReading(o.ModelPath);
        copy.ModelStamp = model->Stamp();
        copy.ModelChanged = copy.ModelStamp != o.ModelStamp && !CopyableAsItIs(*model);
    } catch (const Failure&) {
        copy.ModelChanged = true;  // gone or unreadable since its check: checked again
    }
    if (copy.ModelChanged) return copy;
    try {
        copy.Copy =
            std::make_unique<TextFileWriter>(files, o.CopyPath, platform::Durability::Replaceable);
        WriteOrCount(files, *model, census, o, copy);
        // Written in place by another program while it was read: not kept, taken again.
        copy.ModelChanged = model->Stamp() != copy.ModelStamp;
    } catch (const Failure& failure) {
        copy.Failures.Add(failure);
        copy.Copy.reset();  // nothing of it stays
    }
    if (copy.ModelChanged) copy.Copy.reset();
    if (copy.Copy) copy.Model = std::move(model);
    return copy;
}

}  // namespace scene
