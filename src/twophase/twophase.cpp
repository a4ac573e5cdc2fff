#include "twophase/twophase.h"

#include "twophase/facelet_cube.h"

namespace velmo::twophase {

Analysis Analyse(std::string_view facelets) {
    Analysis analysis;
    const std::optional<Rotation> rotation = RotationHomingCentres(facelets);
    if (!rotation) return analysis;
    const std::optional<CubieCube> cube =
        CubieFromFacelets(RotateFacelets(facelets, *rotation, false));
    if (!cube) return analysis;
    analysis.rotation = *rotation;
    analysis.cube = *cube;
    analysis.reach = Reachability(*cube);
    analysis.kind = analysis.reach == Reach::kReachable ? Analysis::Kind::kReachable
                                                        : Analysis::Kind::kUnreachable;
    return analysis;
}

Solution SolveFacelets(std::string_view facelets, const Tables& tables, const SearchOptions& options) {
    const Analysis analysis = Analyse(facelets);
    Solution solution;
    solution.rotation = analysis.rotation;
    if (analysis.kind == Analysis::Kind::kInvalid) return solution;
    if (analysis.kind == Analysis::Kind::kUnreachable) {
        solution.status = Solution::Status::kUnreachable;
        return solution;
    }
    SearchResult found = SearchSolution(analysis.cube, tables, options);
    solution.status = found.stopped ? Solution::Status::kStopped : Solution::Status::kSolved;
    solution.turns = std::move(found.turns);
    return solution;
}

}  // namespace velmo::twophase
