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
#                                             tree's Base group folded and its Left Hand group
#                                             unfolded, both in error with the root, the thumb
#                                             picked in the diagram and shown in the page's
#                                             property view, whose status names the hole
#   desktop.png                               the kestrel desktop with the CMU skeleton
#                                             characterized (19 joints bound through the
#                                             scene's character node, drawn as diamonds) and
#                                             its left forearm selected
#   desktop_error.png                         the same window at its default size once LThumb is
#                                             bound as LeftHandThumb2 without LeftHandThumb1:
#                                             the panel's Figure page in error, the thumb picked
#                                             on the left hand page, the status naming the hole
#   desktop_name_match.png                    then the panel's Name Match page
#   stance_before.png, stance_after.png       the viewport with an A-pose rig auto-characterized,
#                                             then after characterizationStance -e
# Usage: scripts/screenshots.sh [OUT_DIR]; CT_BUILD_DIR picks the build folder (default build).
#
#        scripts/screenshots.sh --docs
# rewrites the README's pictures in docs/images from the same runs, and nothing else there:
#   full_body.png        00_FullBody.png
#   name_match_page.png  cmu_name_match_page.png
#   desktop.png          desktop.png
#   stance_before.png    stance_before.png (and stance_after.png)
# They need ../shared/skeletons, and pngquant reduces each to an 8-bit palette.
#
# The same sources give the same pictures: every run pins the style, the fonts (DejaVu alone,
# with fixed rendering settings; the Name Match clicks land on rows of its height) and the
# locale, --docs also the DPI; the desktop window keeps its built-in 1400 x 900 size (no saved
# window state is read) and the viewport its default camera.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
docs=false
if [ "${1:-}" = "--docs" ]; then
    docs=true
    shift
fi
build_dir=$(cd "$root" && mkdir -p "${CT_BUILD_DIR:-build}" && cd "${CT_BUILD_DIR:-build}" && pwd)
cmu="$root/../shared/skeletons/cmu_mocap_subject01_jumps.bvh"
if $docs && [ ! -f "$cmu" ]; then
    echo "screenshots: --docs needs $cmu" >&2
    exit 1
fi

if [ ! -f "$build_dir/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DCT_WERROR=ON
fi
cmake --build "$build_dir" -j "$(nproc)" --target kestrel-app characterizationTool

# The tool's per-user settings, the font configuration and, for --docs, the pictures before
# their reduction go to a throw-away folder.
APPDATA=$(mktemp -d)
export APPDATA
trap 'rm -rf "$APPDATA"' EXIT
kestrel="$build_dir/bin/kestrel"

if $docs; then
    source "$root/scripts/install-deps.sh"
    ct_install_missing_packages "${ct_docs_packages[@]}"
    out_dir="$APPDATA/screenshots"
    export QT_FONT_DPI=72
else
    out_dir=${1:-$root/build/screenshots}
    # The offscreen platform's default font is 12 points at 96 dpi, a third larger than a
    # desktop's usual 9 points; 72 dpi draws text at the size the panel shows on a desktop.
    export QT_FONT_DPI=${QT_FONT_DPI:-72}
fi
fonts="$APPDATA/fonts.conf"
cat >"$fonts" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <cachedir>$APPDATA/fontconfig</cachedir>
  <alias><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias><family>serif</family><prefer><family>DejaVu Serif</family></prefer></alias>
  <alias><family>monospace</family><prefer><family>DejaVu Sans Mono</family></prefer></alias>
  <match target="pattern">
    <edit name="family" mode="append_last"><string>DejaVu Sans</string></edit>
  </match>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="hinting" mode="assign"><bool>true</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
  </match>
</fontconfig>
EOF
export FONTCONFIG_FILE="$fonts" QT_STYLE_OVERRIDE=Fusion LC_ALL=C.UTF-8
export QT_SCALE_FACTOR=1 QT_AUTO_SCREEN_SCALE_FACTOR=0 QT_QPA_PLATFORMTHEME=
unset QT_SCREEN_SCALE_FACTORS QT_FONT_DPI_OVERRIDE
mkdir -p "$out_dir"
out_dir=$(cd "$out_dir" && pwd)

# Snapshots are written relative to the working folder.
cd "$out_dir"
"$kestrel" --batch "$root/samples/biped_tpose.json" -s "$root/samples/diagram_screenshots.ks"

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
click characterizationDiagram -at 100 300 -menu "Name Match View";
click characterizationNameTree -at 24 29;
click characterizationNameTree -at 24 129;
click characterizationDiagram -at 223 199;
click characterizationDiagram -at 178 238;
snapshot -widget NameMatchPage "cmu_name_match_page.png";'
    # On the Name Match page, 24 29 is the Base group's fold arrow and 24 129 then the Left
    # Hand group's; the diagram clicks after them (its left hand page, then the thumb) leave
    # the page's property view on the thumb with its status scrolled to the top.
    "$kestrel" --batch "$cmu" -c "$statements"

    # The desktop window itself, drawn offscreen. The joints are bound on the scene's character
    # node, as a user's picks or an opened scene leave them, and the tool is told from there:
    # the viewport draws them as bound. The skeleton's Neck and shoulders start where Spine1
    # does, so its neck slot takes Neck1 and the shoulder slots stay empty (the characterization
    # is valid without a warning).
    statements='loadPlugin "characterizationTool"; characterizationToolUICmd;'
    for slot in 1:Hips 2:LeftUpLeg 3:LeftLeg 4:LeftFoot 5:RightUpLeg 6:RightLeg 7:RightFoot \
                8:Spine 9:LeftArm 10:LeftForeArm 11:LeftHand 12:RightArm 13:RightForeArm \
                14:RightHand 15:Head 16:LeftToeBase 17:RightToeBase 20:Neck1 23:Spine1; do
        statements+="
setCharacterObject(\"${slot#*:}\",\"CMU\",${slot%%:*},0);"
    done
    statements+='
kntSyncCharacterizationsFromScene;
select -r "LeftForeArm";
snapshot "desktop.png";
setCharacterObject("LThumb","CMU",51,0);
kntSyncCharacterizationsFromScene;
click characterizationDiagram -at 223 199;
click characterizationDiagram -at 178 238;
snapshot "desktop_error.png";
click characterizationDiagram -at 100 300 -menu "Name Match View";
snapshot "desktop_name_match.png";
quit;'
    # A statement that fails leaves the window open instead of reaching "quit": the time limit
    # turns that into a failed run.
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$APPDATA/config" timeout 300 \
        "$kestrel" "$cmu" -c "$statements"

    # Fix Stance before and after, on a rig that comes in an A-pose: the viewport alone.
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$APPDATA/config" timeout 300 \
        "$kestrel" "$(dirname "$cmu")/khronos_cesium_man.glb" -c 'loadPlugin "characterizationTool";
characterizationToolUICmd; characterizationToolUICmd -e -characterlist "Hero";
characterizationAutoMap -e -character Hero;
snapshot -widget viewport "stance_before.png";
characterizationStance -e;
snapshot -widget viewport "stance_after.png";
quit;'
else
    echo "screenshots: $cmu is absent; the CMU pictures and desktop.png are skipped" >&2
fi

if $docs; then
    images="$root/docs/images"
    mkdir -p "$images"
    for pair in 00_FullBody.png:full_body.png cmu_name_match_page.png:name_match_page.png \
                desktop.png:desktop.png stance_before.png:stance_before.png \
                stance_after.png:stance_after.png; do
        pngquant --speed 1 --strip --force --output "$images/${pair#*:}" "$out_dir/${pair%%:*}"
    done
    out_dir=$images
fi
echo "screenshots: written to $out_dir"
