-- Kleine Anlage (small plant): the inlet of a small treatment plant.
--
-- 100 l/s arrive at the inlet Q1 and pass a bar screen R1 (1 m long, loss
-- coefficient 0.9) into a rectangular concrete flume G1 (20 m) and the outlet
-- flume G2 (15 m); both flumes are 0.8 m wide and 1.0 m high, Strickler 70.
-- The invert falls 2 per mille from 101.50 m a.s.l. at the inlet. The plant
-- outlet is held at a water level of 101.66 m a.s.l. (tbl_all.Wasserstand),
-- about 0.23 m above the outlet invert of 101.428 m (normal depth of the flumes is about
-- 0.17 m, so the outlet causes a gentle backwater).

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
VALUES ('Kleine Anlage' || char(10) || 'Zulauf, Rechen, Gerinne' || char(10) || 'Q = 100 l/s',
  0.3, 2.0, 0.3, 3.0, 0.3, 2.0, 100.0, 5.0, 60, 0.0, 101.66, 'J',
  'Anlage 1', 'Anlage 2', 'Anlage 3', '2024-05-06');

-- inlet: 100 l/s into a rectangular channel 0.8 m x 1.0 m
INSERT INTO tbl_rvldaten (er, sr, bez, ablauf1, beschreibung, Q, tz,
  GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11)
VALUES (10, 1, 'Q1', 'R1', 'Zulauf', 100.0, 'J', 101.50, 'T', 1.0, 0.8);

-- bar screen, 1 m long, loss coefficient 0.9
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz,
  GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11,
  GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11, HVE_zeta1)
VALUES (20, 1, 'R1', 'Q1', 'G1', 'Grobrechen', 'J',
  1.0, 70.0, 101.50, 'T', 1.0, 0.8, 101.498, 'T', 1.0, 0.8, 0.9);

-- flume, 20 m, falling 2 per mille
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz,
  GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11,
  GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
VALUES (30, 1, 'G1', 'R1', 'G2', 'Zulaufgerinne', 'J',
  20.0, 70.0, 101.498, 'T', 1.0, 0.8, 101.458, 'T', 1.0, 0.8);

-- outlet flume, 15 m, the last element of the plant
INSERT INTO tbl_rvldaten (er, sr, bez, zulauf1, ablauf1, beschreibung, tz,
  GEO_L, GEO_K, GEO_ZO1, GEO_oT1, GEO_oH11, GEO_oB11,
  GEO_ZU1, GEO_uT1, GEO_uH11, GEO_uB11)
VALUES (40, 1, 'G2', 'G1', 'ENDE', 'Ablaufgerinne', 'J',
  15.0, 70.0, 101.458, 'T', 1.0, 0.8, 101.428, 'T', 1.0, 0.8);
