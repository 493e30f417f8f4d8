// Object draw tests: the recording surface's log as one line a draw, and the pictures.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tests/common/recording_surface.h"
#include "tests/game/support/play_fixture.h"

namespace {

using morna::test::DrawCall;
using morna::test::PlayFixture;
using morna::test::RecordingSurface;
using tovarineGameSDK3rd::Draw::Rect;
using Lines = std::vector<std::string>;

// One line a draw: a helper by its name (the surface blit it ends in is not repeated), a bare
// surface blit as "op<n>" ("->wxh" when stretched), a polygon blit as "poly<n>" with its
// source corners, an effect.
Lines Summary(const RecordingSurface& s) {
    Lines out;
    const DrawCall* helper = nullptr;
    for (const DrawCall& c : s.Log()) {
        if (c.kind == "blt" && helper && helper->point.x == c.point.x && helper->point.y == c.point.y) {
            helper = nullptr;
            continue;
        }
        helper = c.kind == "helper" ? &c : nullptr;
        char line[160];
        int n = 0;
        if (c.kind == "polyblt") {
            const auto& p = c.polygon;
            n = std::snprintf(line, sizeof line, "poly%d %d [%d,%d,%d,%d]", c.op, c.image, p.at(4).x, p.at(4).y,
                              p.at(6).x, p.at(6).y);
        } else {
            const std::string head = c.kind == "helper" ? c.helper : c.kind == "blt" ? "op" + std::to_string(c.op)
                                                                                     : c.kind + std::to_string(c.op);
            n = std::snprintf(line, sizeof line, "%s %d (%d,%d)", head.c_str(), c.image, c.point.x, c.point.y);
            if (c.hasRect) {
                n += std::snprintf(line + n, sizeof line - n, " [%d,%d,%d,%d]", c.rect.left, c.rect.top, c.rect.right,
                                   c.rect.bottom);
            }
            if (c.hasSize) n += std::snprintf(line + n, sizeof line - n, " ->%dx%d", c.size.cx, c.size.cy);
            if (c.value) std::snprintf(line + n, sizeof line - n, " =%#x", c.value);
        }
        out.emplace_back(line);
    }
    return out;
}

// The pictures: 0 the marks and gauge, 1 the panel, 5 the hero, 7 the enemy sheet of 4 x 2
// cells of 16, 11 the overlay.
struct DrawFixture {
    DrawFixture() {
        play.images.Add(0, 200, 400);
        play.images.Add(1, 120, 140);
        play.images.Add(5, 128, 128);
        play.images.Add(7, 64, 32);
        play.images.Add(11, 64, 64);
        sheet.image = 7, sheet.cellWidth = sheet.cellHeight = 16, sheet.frames = {0, 1, 2}, sheet.frameTime = 4;
    }
    template <class Object>
    Lines Draw(Object& o) {
        RecordingSurface target(640, 480);
        o.Draw(&target);
        return Summary(target);
    }
    PlayFixture play;
    SObjectKind sheet;
};

}  // namespace
