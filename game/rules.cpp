#include "game/rules.h"

#include <cstdio>

#include "core/game_random.h"
#include "platform/message_box_1250.h"

namespace {

const double kFirstSpawnTime = 2.3;
const float kSpawnLead = 131.33333f;  // places a new collectible ~1970 units beyond source 0
const float kCollectRadius = 150.0f;
const float kEnergyCeiling = 1.8f;
const float kApproachFactor = 8.333333f;
const float kMeterFill = 0.2f;
const float kMeterDecay = 0.05555556f;
const float kBaseDrain = 0.02f;
const float kOutsideDrain = 0.2f;
const float kFieldThreshold = 0.5f;

// The game-over text in Windows-1250: ř F8, í ED, ů F9, ě EC, á E1.
const char kGameOverFormat[] =
    "Game over ! Poda\xF8ilo se ti sesb\xEDrat :\n"
    "               %d atom\xF9\n"
    "               %d kv\xECtin\n"
    "               %d frakt\xE1l\xF9 - gratulujeme !";

// A full meter costs energy for as long as it stays full.
void ClampMeter(GameState& g, int i) {
    float& m = g.zoneMeters[i];
    if (m < 0.0f) {
        m = 0.0f;
    } else if (m >= kEnergyCeiling) {
        m = kEnergyCeiling;
        g.energy -= g.frameTime;
    }
}

}  // namespace

void ApplySpawnRule(GameState& g, ContourLandscape& land) {
    float* m = g.collectibleMatrix.m;
    bool due = (g.collectibleActive == 0 && (double)g.totalTime > kFirstSpawnTime) ||
               (g.collectibleActive == 1 && m[14] < 0.0f);
    if (!due) return;
    g.collectibleActive = 1;
    Vec3 p = land.OldestSource(0, g.landscapeTime - kSpawnLead);
    g.collectibleMatrix.Identity();
    m[12] = p.x + g.worldOffset.x;
    m[13] = p.y + g.worldOffset.y;
    m[14] = p.z;
    g.collectibleKind = GameRand() % 3;
}

void ApplyCollectionRule(GameState& g) {
    const float* m = g.collectibleMatrix.m;
    Vec3 pos{m[12], m[13], m[14]};
    if (g.collectibleActive != 1 || !(pos.Length() < kCollectRadius)) return;
    g.collectibleActive = 0;
    g.collected[g.collectibleKind] += 1;
    g.energy = g.energy + 0.1f * (float)g.collectibleKind + 0.2f;
    if (g.energy > kEnergyCeiling) g.energy = kEnergyCeiling;
}

void ApplyApproachRule(GameState& g, ContourLandscape& land) {
    g.collectibleMatrix.m[14] -= land.RingSpan() * g.frameTime * kApproachFactor;
}

void ApplyMeterRule(GameState& g, ContourLandscape& land) {
    int zone = land.StrongestSource(g.worldOffset.x, g.worldOffset.y, g.landscapeTime);
    g.zoneMeters[zone] += g.frameTime * kMeterFill;
    for (int i = 0; i < 4; ++i) {
        ClampMeter(g, i);
        if (i != zone) {
            g.zoneMeters[i] -= g.frameTime * kMeterDecay;
            ClampMeter(g, i);
        }
    }
}

void ApplyDrainRule(GameState& g, ContourLandscape& land) {
    g.energy -= g.frameTime * kBaseDrain;
    if (land.FieldProbe(g.worldOffset.x, g.worldOffset.y, g.landscapeTime) < kFieldThreshold)
        g.energy -= g.frameTime * kOutsideDrain;
}

void FormatGameOverText(char* buffer, int size, const int collected[3]) {
    std::snprintf(buffer, (size_t)size, kGameOverFormat, collected[0], collected[1],
                  collected[2]);
}

void ApplyGameOverRule(GameState& g, HWND owner) {
    if (g.energy > 0.0f) return;
    char text[1024];
    FormatGameOverText(text, (int)sizeof(text), g.collected);
    ShowCursor(TRUE);
    MessageBox1250(owner, text, "Game Over", MB_OK);
}
