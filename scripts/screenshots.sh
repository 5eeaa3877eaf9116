#!/usr/bin/env bash
# Writes PNGs of the tool's body diagram, headless, into OUT_DIR (default build/screenshots):
#   00_FullBody.png ... 16_RightKneeRoll.png  every diagram page for the sample biped
#                                             (samples/diagram_screenshots.ks says what is
#                                             valid, warned, in error, unset, picked, selected)
#   00_FullBody_picked.png                    the full body with LeftArm picked
#   figure_page.png                           the whole "Figure" page
#   cmu_figure_page.png                       the "Figure" page for the CMU mocap skeleton with
#                                             its 15 required joints bound (only when
#                                             ../shared/skeletons is present)
#   cmu_name_match_page.png                   then its "Name Match" page once LThumb is bound
#                                             as LeftHandThumb2 without LeftHandThumb1: the
#                                             tree's Left Hand group and root in error, the
#                                             thumb picked in the diagram and shown in the
#                                             page's property view, whose status names the hole
#   desktop.png                               the kestrel desktop with the CMU skeleton, a
#                                             joint selected and the Hips bound in the panel
# Usage: scripts/screenshots.sh [OUT_DIR]; CT_BUILD_DIR picks the build folder (default build).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$(cd "$root" && mkdir -p "${CT_BUILD_DIR:-build}" && cd "${CT_BUILD_DIR:-build}" && pwd)
out_dir=${1:-$root/build/screenshots}
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DCT_WERROR=ON
fi
cmake --build "$build_dir" -j "$(nproc)" --target kestrel-app characterizationTool

# The tool's per-user settings go to a throw-away folder.
APPDATA=$(mktemp -d)
export APPDATA
trap 'rm -rf "$APPDATA"' EXIT
kestrel="$build_dir/bin/kestrel"
# The offscreen platform's default font is 12 points at 96 dpi, a third larger than a desktop's
# usual 9 points; 72 dpi draws text at the size the panel shows on a desktop.
export QT_FONT_DPI=${QT_FONT_DPI:-72}

# Snapshots are written relative to the working folder.
cd "$out_dir"
"$kestrel" --batch "$root/samples/biped_tpose.json" -s "$root/samples/diagram_screenshots.ks"

cmu="$root/../shared/skeletons/cmu_mocap_subject01_jumps.bvh"
if [ -f "$cmu" ]; then
    statements='loadPlugin "characterizationTool"; characterizationToolUICmd;
characterizationToolUICmd -e -characterlist "CMU";'
    id=1
    for joint in Hips LeftUpLeg LeftLeg LeftFoot RightUpLeg RightLeg RightFoot Spine \
                 LeftArm LeftForeArm LeftHand RightArm RightForeArm RightHand Head; do
        statements+="
characterizationToolUICmd -e -characternodeassign \"CMU\" -nodeid $id -kestrelnodename \"$joint\";"
        id=$((id + 1))
    done
    statements+='
print "CMU status (0 valid, 1 not set, 2 warning, 3 error):";
characterizationToolUICmd -q -curcharstatus;
snapshot -widget FigurePage "cmu_figure_page.png";
characterizationToolUICmd -e -fup -characternodeassign "CMU" -nodeid 51 -kestrelnodename "LThumb";
click characterizationDiagram -at 223 199;
click characterizationDiagram -at 178 238;
click characterizationDiagram -at 100 300 -menu "Name Match View";
snapshot -widget NameMatchPage "cmu_name_match_page.png";'
    "$kestrel" --batch "$cmu" -c "$statements"
    # The desktop window itself, drawn offscreen.
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$APPDATA/config" "$kestrel" "$cmu" -c 'loadPlugin "characterizationTool"; characterizationToolUICmd;
characterizationToolUICmd -e -characterlist "CMU";
characterizationToolUICmd -e -characternodeassign "CMU" -nodeid 1 -kestrelnodename "Hips";
select -r "LeftForeArm";
snapshot "desktop.png";
quit;'
else
    echo "screenshots: $cmu is absent; the CMU pictures and desktop.png are skipped" >&2
fi
echo "screenshots: written to $out_dir"
