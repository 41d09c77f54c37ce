-- Kläranlage (treatment plant): a complete example plant of about 10 000 inhabitants
-- for the dry-weather peak of 250 l/s, using every element type.
--
-- Flow path (elements in flow order, levels in m a.s.l.):
--   Q1 inlet sewer -> G1 -> P1 inlet pumping station (sump floor 94.50, switch-on
--   level 95.40) -> D1 rising main DN 450 -> B1 inlet structure (99.40) -> G2 ->
--   R1 fine screen -> G3 -> M1 Venturi flume -> G4 -> A1 free division onto two grit
--   chamber lanes (component C_SANDFANG: G5 -> W1 sluice gate -> G7 and G6 -> W2
--   wall -> G8) -> Z1 confluence -> G9 -> V1 distribution flume with two side weirs
--   U1, U2 (50 % / 50 %) -> primary clarifiers B2 (outlet weir U3) and B3 (outlet
--   wall W3) -> S1 collection flume -> G10 -> B4 aeration tank -> T1 immersion tubes
--   -> G11 -> siphon weir D2, D3 (crest 98.60) -> G12 -> D4 inverted siphon DN 500 ->
--   G13 -> Q2 filtrate return (+5 l/s) -> G14 outlet channel.
-- The water level at the plant outlet is 97.46 m a.s.l. (tbl_all.Wasserstand),
-- 0.40 m above the outlet invert. Channels are concrete (Strickler 70), pipes have
-- a sand roughness of 0.5 mm. Inverts and dimensions are given in absolute levels
-- (Bezug 0).

CREATE TABLE tbl_all (Titel varchar(199), Vmin double, Vmax double, Bmin double,
  Bmax double, Hmin double, Hmax double, Lmax double, DIFFmax double,
  Zeilen integer, Bezug double, Wasserstand double, Q_ls varchar(1),
  AnhangERG varchar(19), AnhangERK varchar(19), AnhangQVE varchar(19), datum Date);

CREATE TABLE tbl_rvldaten (id integer primary key, er integer, sr integer,
  bez varchar(12), zulauf1 varchar(12), zulauf2 varchar(12), ablauf1 varchar(12),
  ablauf2 varchar(12), beschreibung varchar(26), Q double, plotweg varchar(1),
  tz varchar(1), np varchar(1), out_erk varchar(1), out_tau varchar(1),
  aufteilung1 double, aufteilung2 double, geloescht integer,
  GEO_L double, GEO_K double, GEO_C double, GEO_C2 double,
  GEO_ZO1 double, GEO_oT1 varchar(1), GEO_oHS1 double,
  GEO_oH11 double, GEO_oB11 double, GEO_oH12 double, GEO_oB12 double, GEO_oH13 double,
  GEO_oB13 double, GEO_oH14 double, GEO_oB14 double, GEO_oH15 double, GEO_oB15 double,
  GEO_ZU1 double, GEO_uT1 varchar(1), GEO_uHS1 double,
  GEO_uH11 double, GEO_uB11 double, GEO_uH12 double, GEO_uB12 double, GEO_uH13 double,
  GEO_uB13 double, GEO_uH14 double, GEO_uB14 double, GEO_uH15 double, GEO_uB15 double,
  GEO_ZO2 double, GEO_oT2 varchar(1), GEO_oHS2 double,
  GEO_oH21 double, GEO_oB21 double, GEO_oH22 double, GEO_oB22 double, GEO_oH23 double,
  GEO_oB23 double, GEO_oH24 double, GEO_oB24 double, GEO_oH25 double, GEO_oB25 double,
  GEO_ZU2 double, GEO_uT2 varchar(1), GEO_uHS2 double,
  GEO_uH21 double, GEO_uB21 double, GEO_uH22 double, GEO_uB22 double, GEO_uH23 double,
  GEO_uB23 double, GEO_uH24 double, GEO_uB24 double, GEO_uH25 double, GEO_uB25 double,
  HVE_HVE double, HVE_zeta1 double, HVE_zeta2 double, HVE_zeta3 double, HVE_zeta4 double,
  HVE_zeta5 double, HVE_zeta6 double, HVE_zeta1_2 double, HVE_zeta2_2 double,
  HVE_zeta3_2 double, HVE_zeta4_2 double, HVE_zeta5_2 double, HVE_zeta6_2 double,
  HVE_mue double, HVE_n_c double, HVE_H double, HVE_BU double, HVE_BO double,
  HVE_A double, HVE_T varchar(1), HVE_N integer,
  HVE_ERLAEUTER1 varchar(255), HVE_ERLAEUTER2 varchar(255), HVE_ERLAEUTER3 varchar(255),
  HVE_ERLAEUTER4 varchar(255), HVE_ERLAEUTER5 varchar(255), HVE_ERLAEUTER6 varchar(255));

INSERT INTO tbl_all (Titel, Vmin, Vmax, Bmin, Bmax, Hmin, Hmax, Lmax, DIFFmax, Zeilen,
  Bezug, Wasserstand, Q_ls, AnhangERG, AnhangERK, AnhangQVE, datum)
VALUES ('Kläranlage Musterstadt' || char(10) || 'Trockenwetterspitze 250 l/s' || char(10) || 'Variante 1',
  0.3, 2.5, 0.3, 10.0, 0.3, 5.0, 150.0, 10.0, 60, 0.0, 97.46, 'J',
  'Anlage 5.1', 'Anlage 5.2', 'Anlage 5.3', '2024-05-06');

-- inlet: 250 l/s from the main sewer, rectangular channel 1.0 m x 1.2 m
INSERT INTO tbl_rvldaten (er, sr, bez, ablauf1, beschreibung, tz, Q, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (10, 1, 'Q1', 'G1', 'Zulauf Sammelkanal', 'J', 250.0, 95.0, 'T', 1.2, 1.0);

-- channel to the pump sump, 20 m, Strickler 70
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (20, 1, 'G1', 'Q1', 'P1', 'Kanal zum Pumpensumpf', 'J', 20.0, 70.0, 95.0, 'T', 1.2, 1.0, 94.98, 'T', 1.2, 1.0);

-- inlet pumping station: sump 2.0 m wide with its floor at 94.50, the pumps switch on
-- 0.9 m above the floor (95.40 m a.s.l.)
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_H, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (30, 1, 'P1', 'G1', 'D1', 'Zulaufpumpwerk', 'J', 0.9, 94.5, 'T', 2.0, 2.0, 94.5, 'T', 2.0, 2.0);

-- rising main DN 450, 120 m, sand roughness 0.5 mm, bends (zeta 0.3 + 0.2);
-- 1.6 m/s, lifting the water 3.9 m to the inlet structure
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_zeta1, HVE_zeta2, GEO_ZO1, GEO_oT1, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uB11)
  VALUES (40, 1, 'D1', 'P1', 'B1', 'Druckleitung DN 450', 'J', 120.0, 0.5, 0.3, 0.2, 95.5, 'K', 0.45, 99.4, 'K', 0.45);

-- inlet structure: basin 3 m long, 2.0 m wide, 1.5 m deep
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (50, 1, 'B1', 'D1', 'G2', 'Zulaufbauwerk', 'J', 3.0, 70.0, 99.4, 'T', 1.5, 2.0, 99.4, 'T', 1.5, 2.0);

-- channel to the screen, 10 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (60, 1, 'G2', 'B1', 'R1', 'Rechenzulauf', 'J', 10.0, 70.0, 99.4, 'T', 1.0, 1.0, 99.39, 'T', 1.0, 1.0);

-- fine screen, 1.5 m long, loss coefficient 1.2
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (70, 1, 'R1', 'G2', 'G3', 'Feinrechen 6 mm', 'J', 1.5, 70.0, 1.2, 99.39, 'T', 1.0, 1.0, 99.385, 'T', 1.0, 1.0);

-- channel behind the screen, 8 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (80, 1, 'G3', 'R1', 'M1', 'Rechenablauf', 'J', 8.0, 70.0, 99.385, 'T', 1.0, 1.0, 99.377, 'T', 1.0, 1.0);

-- Venturi flume, 4 m: throat 0.4 m wide, sill 0.05 m high; the invert drops 0.077 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_T, HVE_BU, HVE_H, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (90, 1, 'M1', 'G3', 'G4', 'Venturi-Messgerinne', 'J', 4.0, 70.0, 'T', 0.4, 0.05, 99.377, 'T', 1.0, 1.0, 99.3, 'T', 1.0, 1.0);

-- channel behind the flume, 6 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (100, 1, 'G4', 'M1', 'A1', 'Ablauf Messgerinne', 'J', 6.0, 70.0, 99.3, 'T', 1.0, 1.0, 99.294, 'T', 1.0, 1.0);

-- free division onto the two grit chamber lanes (split found by iteration);
-- its own profile and the two branch profiles are the 1.0 m channel
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, ablauf2, beschreibung, tz, HVE_zeta1, HVE_zeta1_2, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZO2, GEO_oT2, GEO_oH21, GEO_oB21, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11, GEO_ZU2, GEO_uT2, GEO_uH21, GEO_uB21)
  VALUES (110, 1, 'A1', 'G4', 'G5', 'G6', 'Aufteilung Sandfang', 'J', 0.3, 0.5, 99.294, 'T', 1.0, 1.0, 99.294, 'T', 1.0, 1.0, 99.294, 'T', 1.0, 1.0, 99.294, 'T', 1.0, 1.0);

-- the grit chamber lanes G5..G8 with their outlet walls are the component C_SANDFANG
-- (database klaeranlage_C_SANDFANG.mdb next to this one)

-- component: the two grit chamber lanes
INSERT INTO tbl_rvldaten (er, sr, bez, beschreibung, tz)
  VALUES (120, 1, 'C_SANDFANG', 'Sandfang, 2 Straßen', 'J');

-- confluence of the two lanes
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, zulauf2, ablauf1, beschreibung, tz, HVE_zeta1, HVE_zeta1_2, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZO2, GEO_oT2, GEO_oH21, GEO_oB21, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11, GEO_ZU2, GEO_uT2, GEO_uH21, GEO_uB21)
  VALUES (130, 1, 'Z1', 'G7', 'G8', 'G9', 'Zusammenfluss Sandfang', 'J', 0.5, 0.5, 99.195, 'T', 1.0, 1.0, 99.195, 'T', 1.0, 1.0, 99.195, 'T', 1.0, 1.0, 99.195, 'T', 1.0, 1.0);

-- channel to the primary clarifiers, 15 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (140, 1, 'G9', 'Z1', 'V1', 'Zulauf Vorklärung', 'J', 15.0, 70.0, 99.195, 'T', 1.0, 1.0, 99.18, 'T', 1.0, 1.0);

-- distribution flume, 3 m long, 0.8 m wide, 1.2 m deep, feeding both clarifiers
-- over two side weirs of 3 m crest length; fixed split 50 % / 50 %
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, ablauf2, beschreibung, tz, GEO_L, GEO_K, aufteilung1, aufteilung2, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (150, 1, 'V1', 'G9', 'U1', 'U2', 'Verteilrinne Vorklärung', 'J', 3.0, 70.0, 50.0, 50.0, 99.18, 'T', 1.2, 0.8, 99.18, 'T', 1.2, 0.8);

-- sharp-crested weir into clarifier 1: crest 99.60, 3.0 m long, mu 0.62
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_mue, HVE_N, HVE_T, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (160, 1, 'U1', 'V1', 'B2', 'Zulaufwehr VKB 1', 'J', 0.62, 1, 'T', 99.6, 'T', 0.5, 3.0);

-- primary clarifier 1: 30 m long, 6 m wide, 3 m deep
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (170, 1, 'B2', 'U1', 'U3', 'Vorklärbecken 1', 'J', 30.0, 70.0, 96.8, 'T', 3.0, 6.0, 96.8, 'T', 3.0, 6.0);

-- outlet weir of clarifier 1: crest 99.30, 3.0 m long
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_mue, HVE_N, HVE_T, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (180, 1, 'U3', 'B2', 'S1', 'Ablaufwehr VKB 1', 'J', 0.62, 1, 'T', 99.3, 'T', 0.5, 3.0);

-- weir into clarifier 2, as U1
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_mue, HVE_N, HVE_T, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (190, 1, 'U2', 'V1', 'B3', 'Zulaufwehr VKB 2', 'J', 0.62, 1, 'T', 99.6, 'T', 0.5, 3.0);

-- primary clarifier 2, as clarifier 1
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (200, 1, 'B3', 'U2', 'W3', 'Vorklärbecken 2', 'J', 30.0, 70.0, 96.8, 'T', 3.0, 6.0, 96.8, 'T', 3.0, 6.0);

-- outlet wall of clarifier 2: three round openings DN 250 at 98.90
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, HVE_T, HVE_H, HVE_N, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
  VALUES (210, 1, 'W3', 'B3', 'S1', 'Ablaufwand VKB 2', 'J', 'K', 0.25, 3, 1.5, 98.9, 'T', 1.2, 3.0);

-- collection flume, 3 m long, 0.8 m wide, fed by the weir U3 and the wall W3
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, zulauf2, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (220, 1, 'S1', 'U3', 'W3', 'G10', 'Sammelrinne Vorklärung', 'J', 3.0, 70.0, 98.8, 'T', 1.2, 0.8, 98.8, 'T', 1.2, 0.8);

-- channel to the aeration tank, 25 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (230, 1, 'G10', 'S1', 'B4', 'Zulauf Belebung', 'J', 25.0, 70.0, 98.8, 'T', 1.2, 1.0, 98.775, 'T', 1.2, 1.0);

-- aeration tank: 40 m long, 8 m wide, 5 m deep
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (240, 1, 'B4', 'G10', 'T1', 'Belebungsbecken', 'J', 40.0, 70.0, 94.5, 'T', 5.0, 8.0, 94.5, 'T', 5.0, 8.0);

-- immersion tubes drawing from the aeration tank: two perforated pipes DN 400 at
-- 97.60, 8 m long, round holes DN 80 every 0.4 m, hole loss coefficient 1.5; they
-- lie below the tank's water level (about 98.35), as immersion tubes must
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_N, HVE_T, HVE_H, HVE_A, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uB11)
  VALUES (250, 1, 'T1', 'B4', 'G11', 'Tauchrohrabzug', 'J', 8.0, 0.5, 2, 'K', 0.08, 0.4, 1.5, 97.6, 'K', 0.4, 97.6, 'K', 0.4);

-- outlet channel of the aeration tank, 10 m, 1.5 m deep, held up by the siphon weir
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (260, 1, 'G11', 'T1', 'D2', 'Ablaufrinne Belebung', 'J', 10.0, 70.0, 97.9, 'T', 1.5, 1.0, 97.89, 'T', 1.5, 1.0);

-- siphon weir, rising leg: DN 500, 3 m, crest invert 98.60
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uB11)
  VALUES (270, 1, 'D2', 'G11', 'D3', 'Heberwehr #HEBER Aufstieg', 'J', 3.0, 0.5, 0.5, 97.89, 'K', 0.5, 98.6, 'K', 0.5);

-- siphon weir, falling leg: DN 500, 3 m, down to 97.40
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_zeta1, GEO_ZO1, GEO_oT1, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uB11)
  VALUES (280, 1, 'D3', 'D2', 'G12', 'Heberwehr #HEBER Abstieg', 'J', 3.0, 0.5, 0.3, 98.6, 'K', 0.5, 97.4, 'K', 0.5);

-- channel to the inverted siphon, 15 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (290, 1, 'G12', 'D3', 'D4', 'Zulauf Düker', 'J', 15.0, 70.0, 97.4, 'T', 1.2, 1.0, 97.385, 'T', 1.2, 1.0);

-- inverted siphon under the road: DN 500, 40 m, two bends
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, HVE_zeta1, HVE_zeta2, GEO_ZO1, GEO_oT1, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uB11)
  VALUES (300, 1, 'D4', 'G12', 'G13', 'Düker DN 500', 'J', 40.0, 0.5, 0.5, 0.5, 96.9, 'K', 0.5, 96.85, 'K', 0.5);

-- channel behind the siphon, 10 m
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (310, 1, 'G13', 'D4', 'Q2', 'Ablauf Düker', 'J', 10.0, 70.0, 97.1, 'T', 1.2, 1.0, 97.09, 'T', 1.2, 1.0);

-- filtrate water returned from the sludge treatment: 5 l/s
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, Q, GEO_L, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (320, 1, 'Q2', 'G13', 'G14', 'Einleitung Filtrat', 'J', 5.0, 1.0, 97.09, 'T', 1.2, 1.0, 97.089, 'T', 1.2, 1.0);

-- outlet channel to the receiving water, 30 m; the last element
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz, GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11, GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
  VALUES (330, 1, 'G14', 'Q2', 'ENDE', 'Ablaufkanal', 'J', 30.0, 70.0, 97.089, 'T', 1.2, 1.0, 97.06, 'T', 1.2, 1.0);
