// Reference values for the sky model's tests, computed with the npm package
// astronomy-engine (an independent library; nothing of it is built into Quellwick).
// Rerun (prints the two tables into tests/astro/):
//   npm install --prefix /tmp/ae astronomy-engine
//   NODE_PATH=/tmp/ae/node_modules node tools/sky_reference/make_table.js
// Where the library lacks a quantity, it is computed here from the library's vectors: the
// bright limb and the axis as position angles in the true equator of date, the sub-solar
// point from the IAU rotation model of the Moon, the parallactic angle from the topocentric
// hour angle and declination.
'use strict';
const A = require('astronomy-engine');
const fs = require('fs');
const path = require('path');

const RAD = Math.PI / 180;
const J2000 = 2451545.0;

// Places from 78 S to 70 N: latitude, longitude (east positive), name.
const PLACES = [
    [-77.846, 166.676, 'McMurdo'], [-54.801, -68.303, 'Ushuaia'], [-33.869, 151.209, 'Sydney'],
    [-0.180, -78.468, 'Quito'], [21.307, -157.858, 'Honolulu'], [35.690, 139.692, 'Tokyo'],
    [40.713, -74.006, 'New York'], [51.478, -0.001, 'Greenwich'], [64.147, -21.942, 'Reykjavik'],
    [69.649, 18.956, 'Tromso'],
];

// A fixed pseudo-random sequence, so that a rerun gives the same instants.
let seed = 20240611;
function random() {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    return seed / 2147483648;
}

const timeOf = (jd) => A.MakeTime(jd - J2000);
const jdOf = (time) => time.ut + J2000;

// Right ascension and declination (radians) of a geocentric J2000 vector, in the true
// equator and equinox of date.
function ofDate(vec, time) {
    const v = A.RotateVector(A.Rotation_EQJ_EQD(time), vec);
    const r = Math.hypot(v.x, v.y, v.z);
    return { ra: Math.atan2(v.y, v.x), dec: Math.asin(v.z / r) };
}

// Position angle (degrees, 0 to 360) of `to` seen from `from`.
function positionAngle(from, to) {
    const da = to.ra - from.ra;
    const pa = Math.atan2(Math.cos(to.dec) * Math.sin(da),
        Math.sin(to.dec) * Math.cos(from.dec) - Math.cos(to.dec) * Math.sin(from.dec) * Math.cos(da));
    return (pa / RAD + 360) % 360;
}

const dot = (a, b) => a.x * b.x + a.y * b.y + a.z * b.z;
const cross = (a, b) => ({ x: a.y * b.z - a.z * b.y, y: a.z * b.x - a.x * b.z, z: a.x * b.y - a.y * b.x });

// Selenographic longitude (east positive, -180 to 180) and latitude of the point under a
// J2000 direction `dir` from the Moon's centre, in the IAU body-fixed frame.
function selenographic(dir, axis) {
    const pole = axis.north;
    const node = { x: -Math.sin(axis.ra * 15 * RAD), y: Math.cos(axis.ra * 15 * RAD), z: 0 };
    const quarter = cross(pole, node);
    const w = axis.spin * RAD;
    const x = { x: node.x * Math.cos(w) + quarter.x * Math.sin(w), y: node.y * Math.cos(w) + quarter.y * Math.sin(w),
        z: node.z * Math.cos(w) + quarter.z * Math.sin(w) };
    const y = cross(pole, x);
    const r = Math.sqrt(dot(dir, dir));
    return { lon: Math.atan2(dot(dir, y), dot(dir, x)) / RAD, lat: Math.asin(dot(dir, pole) / r) / RAD };
}

function skyRow(jd, place) {
    const time = timeOf(jd);
    const moonVec = A.GeoVector(A.Body.Moon, time, true);
    const sunVec = A.GeoVector(A.Body.Sun, time, true);
    const moon = ofDate(moonVec, time);
    const sun = ofDate(sunVec, time);
    const axis = A.RotationAxis(A.Body.Moon, time);
    const lib = A.Libration(time);
    const lit = A.Illumination(A.Body.Moon, time).phase_fraction;
    const toSun = { x: sunVec.x - moonVec.x, y: sunVec.y - moonVec.y, z: sunVec.z - moonVec.z };
    const subSolar = selenographic(toSun, axis);
    const subEarthIau = selenographic({ x: -moonVec.x, y: -moonVec.y, z: -moonVec.z }, axis);
    const libLon = ((lib.elon + 540) % 360) - 180;

    const observer = new A.Observer(place[0], place[1], 0);
    const topo = A.Equator(A.Body.Moon, time, observer, true, true);
    const hor = A.Horizon(time, observer, topo.ra, topo.dec);
    const h = (A.SiderealTime(time) * 15 + place[1] - topo.ra * 15) * RAD;
    const phi = place[0] * RAD, dec = topo.dec * RAD;
    const q = Math.atan2(Math.sin(h) * Math.cos(phi), Math.sin(phi) * Math.cos(dec) - Math.cos(phi) * Math.sin(dec) * Math.cos(h)) / RAD;
    const rise = A.SearchRiseSet(A.Body.Moon, observer, +1, time, 2);
    const set = A.SearchRiseSet(A.Body.Moon, observer, -1, time, 2);
    return {
        check: [Math.abs(((subEarthIau.lon - libLon + 540) % 360) - 180), Math.abs(subEarthIau.lat - lib.elat)],
        fields: [jd.toFixed(6), place[0], place[1], lit.toFixed(6), positionAngle(moon, sun).toFixed(4),
            positionAngle(moon, ofDate(axis.north, time)).toFixed(4), libLon.toFixed(4), lib.elat.toFixed(4),
            subSolar.lon.toFixed(4), subSolar.lat.toFixed(4), lib.dist_km.toFixed(1), lib.diam_deg.toFixed(6),
            hor.altitude.toFixed(4), hor.azimuth.toFixed(4), q.toFixed(4),
            rise ? jdOf(rise).toFixed(6) : 0, set ? jdOf(set).toFixed(6) : 0],
    };
}

const here = path.join(__dirname, '..', '..', 'tests', 'astro');
const first = 2433282.5, last = 2488433.5;  // 1950-01-01 to 2100-12-31

let worstIau = [0, 0];
const sky = ['# jd_ut,latitude,longitude,illuminated_fraction,bright_limb_deg,axis_deg,libration_lon_deg,' +
    'libration_lat_deg,subsolar_lon_deg,subsolar_lat_deg,distance_km,diameter_deg,altitude_deg,azimuth_deg,' +
    'parallactic_deg,rise_jd,set_jd (0: none within 48 hours)'];
for (let i = 0; i < 250; ++i) {
    const row = skyRow(first + random() * (last - first), PLACES[i % PLACES.length]);
    worstIau = worstIau.map((w, k) => Math.max(w, row.check[k]));
    sky.push(row.fields.join(','));
}
// Ten more where the Moon, at McMurdo or Tromso, rises for less than three hours: its
// altitude turns close to the horizon.
for (let found = 0, n = 0; found < 10; ++n) {
    const place = PLACES[n % 2 ? 9 : 0];
    const observer = new A.Observer(place[0], place[1], 0);
    const rise = A.SearchRiseSet(A.Body.Moon, observer, +1, timeOf(first + random() * (last - first)), 40);
    const set = rise && A.SearchRiseSet(A.Body.Moon, observer, -1, rise, 2);
    if (!set || set.ut - rise.ut > 0.125)
        continue;
    sky.push(skyRow(jdOf(rise) - 0.1 - random() * 0.5, place).fields.join(','));
    ++found;
}
// And two where the Moon barely clears the horizon, found by a scan with the sky model: a
// rise of five minutes at McMurdo and a set of a minute and a half at Tromso, shorter than
// the steps in which a search for a crossing may look.
sky.push(skyRow(2447276.5, PLACES[0]).fields.join(','), skyRow(2455661.5, PLACES[9]).fields.join(','));
fs.writeFileSync(path.join(here, 'sky_reference.csv'), sky.join('\n') + '\n');
console.log('IAU frame against the library libration, worst lon/lat:', worstIau);

// The Earth's shadow at an instant as the sky model gives it: the position angle of its
// centre seen from the Moon, that centre's distance and the umbra's and the penumbra's
// radii in the plane through the Moon square to the shadow's axis, in lunar radii, for an
// opaque Earth of 6371 km plus 88 km of atmosphere and a Sun of 695700 km.
function shadow(jd) {
    const time = timeOf(jd);
    const m = A.GeoMoon(time);
    const s = A.GeoVector(A.Body.Sun, time, true);
    const sunKm = Math.hypot(s.x, s.y, s.z) * A.KM_PER_AU;
    const away = { x: -s.x, y: -s.y, z: -s.z };
    const along = dot(m, away) / Math.sqrt(dot(away, away)) * A.KM_PER_AU;
    const r = Math.sqrt(dot(m, m) * A.KM_PER_AU * A.KM_PER_AU - along * along);
    const earth = 6371 + 88, sun = 695700, moon = 1737.4;
    return [positionAngle(ofDate(m, time), ofDate(away, time)).toFixed(3), (r / moon).toFixed(4),
        ((earth - along * (sun - earth) / sunKm) / moon).toFixed(4),
        ((earth + along * (sun + earth) / sunKm) / moon).toFixed(4)];
}

// Eclipses: the first whose greatest eclipse comes after a random instant, until there are
// twenty of each kind; some instants fall just before or just after a greatest eclipse.
const KINDS = { penumbral: 0, partial: 1, total: 2 };
const count = [0, 0, 0];
const eclipses = ['# start_jd_ut,kind (0 penumbral 1 partial 2 total),peak_jd_ut,penumbral_min,partial_min,total_min,' +
    'then the shadow at the peak: centre_position_angle_deg,centre_distance,umbra_radius,penumbra_radius (lunar radii)'];
for (let n = 0; count.some((c) => c < 20); ++n) {
    let start = first + random() * (last - first);
    let e = A.SearchLunarEclipse(timeOf(start - 2));
    if (n % 4 === 1) start = jdOf(e.peak) + (n % 8 === 1 ? -3 : 3) / 1440;
    while (jdOf(e.peak) <= start) e = A.NextLunarEclipse(e.peak);
    const kind = KINDS[e.kind];
    if (count[kind] >= 20) continue;
    ++count[kind];
    eclipses.push([start.toFixed(6), kind, jdOf(e.peak).toFixed(6), (2 * e.sd_penum).toFixed(2),
        (2 * e.sd_partial).toFixed(2), (2 * e.sd_total).toFixed(2), ...shadow(jdOf(e.peak))].join(','));
}
fs.writeFileSync(path.join(here, 'eclipse_reference.csv'), eclipses.join('\n') + '\n');
