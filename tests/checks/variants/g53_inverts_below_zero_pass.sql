-- The whole plant 200 m lower: inverts below 0 are no error.
-- level: 0
UPDATE tbl_rvldaten SET GEO_ZO1 = GEO_ZO1 - 200, GEO_ZU1 = GEO_ZU1 - 200, GEO_ZO2 = GEO_ZO2 - 200, GEO_ZU2 = GEO_ZU2 - 200;
UPDATE tbl_all SET Wasserstand = Wasserstand - 200;
