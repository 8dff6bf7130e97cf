#include "radiometric_fit.h"

#include <array>
#include <cmath>
#include <vector>

#include "response_curve.h"

namespace zelir::radiometry {
namespace {

constexpr double kMinB = 100.0, kMaxB = 20000.0;
constexpr double kPriorF = 1.0;
constexpr double kPriorWeight = 0.05;  // digit values per unit of F

struct Projection {
    double r = 0.0, o = 0.0;
    double sse = INFINITY;
    std::vector<double> residuals;
};

// R and O by linear least squares for fixed B and F.
Projection Project(std::span<const Reference> refs, double b, double f) {
    Projection p;
    const std::size_t n = refs.size();
    std::vector<double> g(n);
    double sg = 0, sgg = 0, sd = 0, sgd = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double denominator = std::exp(b / (refs[i].celsius + kZeroCelsius)) - f;
        if (!(denominator > 0.0)) return p;
        g[i] = 1.0 / denominator;
        sg += g[i];
        sgg += g[i] * g[i];
        sd += refs[i].digits;
        sgd += g[i] * refs[i].digits;
    }
    const double det = double(n) * sgg - sg * sg;
    if (!(std::abs(det) > 0.0)) return p;
    p.r = (double(n) * sgd - sg * sd) / det;
    p.o = (sd - p.r * sg) / double(n);
    p.sse = 0.0;
    p.residuals.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        p.residuals[i] = p.r * g[i] + p.o - refs[i].digits;
        p.sse += p.residuals[i] * p.residuals[i];
    }
    return p;
}

double Cost(std::span<const Reference> refs, double b, double f) {
    const double prior = kPriorWeight * (f - kPriorF);
    return Project(refs, b, f).sse + prior * prior;
}

// Logarithmic scan for the bracket, then golden-section search inside it.
double SearchB(std::span<const Reference> refs, double f) {
    constexpr int kSteps = 400;
    const double ratio = std::log(kMaxB / kMinB) / kSteps;
    int best = 0;
    double bestCost = INFINITY;
    for (int k = 0; k <= kSteps; ++k) {
        const double cost = Cost(refs, kMinB * std::exp(ratio * k), f);
        if (cost < bestCost) bestCost = cost, best = k;
    }
    double lo = std::log(kMinB) + ratio * std::max(best - 1, 0);
    double hi = std::log(kMinB) + ratio * std::min(best + 1, kSteps);
    const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
    for (int i = 0; i < 100 && hi - lo > 1e-13; ++i) {
        const double a = hi - golden * (hi - lo), c = lo + golden * (hi - lo);
        if (Cost(refs, std::exp(a), f) < Cost(refs, std::exp(c), f)) {
            hi = c;
        } else {
            lo = a;
        }
    }
    return std::exp((lo + hi) / 2.0);
}

// Levenberg-Marquardt on (B, F) over the projected residuals and the prior on F.
void RefineBF(std::span<const Reference> refs, double& b, double& f) {
    const auto residuals = [&refs](double bb, double ff) {
        std::vector<double> r = Project(refs, bb, ff).residuals;
        if (r.empty()) return r;
        r.push_back(kPriorWeight * (ff - kPriorF));
        return r;
    };
    double lambda = 1e-3;
    double cost = Cost(refs, b, f);
    for (int iteration = 0; iteration < 100; ++iteration) {
        const std::vector<double> r = residuals(b, f);
        if (r.empty()) return;
        const double hb = b * 1e-6, hf = 1e-6;
        const std::vector<double> rb1 = residuals(b + hb, f), rb0 = residuals(b - hb, f);
        const std::vector<double> rf1 = residuals(b, f + hf), rf0 = residuals(b, f - hf);
        if (rb1.empty() || rb0.empty() || rf1.empty() || rf0.empty()) return;
        std::array<double, 3> jtj{}, jtr{};  // [bb, bf, ff], [b, f, unused]
        for (std::size_t i = 0; i < r.size(); ++i) {
            const double jb = (rb1[i] - rb0[i]) / (2 * hb), jf = (rf1[i] - rf0[i]) / (2 * hf);
            jtj[0] += jb * jb, jtj[1] += jb * jf, jtj[2] += jf * jf;
            jtr[0] += jb * r[i], jtr[1] += jf * r[i];
        }
        bool improved = false;
        while (lambda < 1e12) {
            const double a = jtj[0] * (1 + lambda), d = jtj[2] * (1 + lambda), c = jtj[1];
            const double det = a * d - c * c;
            const double db = -(d * jtr[0] - c * jtr[1]) / det;
            const double df = -(a * jtr[1] - c * jtr[0]) / det;
            const double next = Cost(refs, b + db, f + df);
            if (std::isfinite(next) && next < cost) {
                const bool converged = cost - next < 1e-15 * (1 + cost);
                b += db, f += df, cost = next, lambda /= 10;
                improved = !converged;
                break;
            }
            lambda *= 10;
        }
        if (!improved) return;
    }
}

bool RisingReferences(std::span<const Reference> refs) {
    for (std::size_t i = 0; i < refs.size(); ++i) {
        if (!std::isfinite(refs[i].celsius) || !std::isfinite(refs[i].digits)) return false;
        if (!(refs[i].celsius > -kZeroCelsius)) return false;
        if (i > 0 &&
            !(refs[i].celsius > refs[i - 1].celsius && refs[i].digits > refs[i - 1].digits))
            return false;
    }
    return true;
}

}  // namespace

std::optional<FitResult> FitResponse(std::span<const Reference> references, std::string& reason) {
    if (references.size() < 3) {
        reason = "at least three references are needed";
        return std::nullopt;
    }
    if (!RisingReferences(references)) {
        reason = "temperatures and digit values must rise from one reference to the next";
        return std::nullopt;
    }
    double f = kPriorF;
    double b = SearchB(references, f);
    if (references.size() >= 4) RefineBF(references, b, f);
    const Projection p = Project(references, b, f);
    FitResult result;
    result.constants =
        ZelIrRadiometry{float(p.r), float(b), float(f), float(p.o), kFitMinCelsius, kFitMaxCelsius};
    result.rmsDigits = std::sqrt(p.sse / double(references.size()));
    if (!std::isfinite(p.sse) || !ValidConstants(result.constants)) {
        reason = "no response of the form R / (exp(B / T) - F) + O fits these references";
        return std::nullopt;
    }
    return result;
}

}  // namespace zelir::radiometry
