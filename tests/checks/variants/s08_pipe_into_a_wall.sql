-- A pressure pipe discharging into a wall (the basin B1 becomes a wall).
-- expect: S08
-- level: 2
-- text: WB1
UPDATE tbl_rvldaten SET bez = 'WB1' WHERE bez = 'B1';
UPDATE tbl_rvldaten SET ablauf1 = 'WB1' WHERE bez = 'D1';
UPDATE tbl_rvldaten SET zulauf1 = 'WB1' WHERE bez = 'G2';
